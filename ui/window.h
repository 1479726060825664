#pragma once
// The one window base class: the static procedure takes `this` from the
// creation parameters at WM_NCCREATE, keeps it in GWLP_USERDATA and forwards
// every message to HandleMessage. No exception leaves the procedure.
#include <windows.h>

#include <string>

#include "common/callback.h"

namespace ui {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }
  // The object of a window made by this class (any derived class), or null;
  // a window of another class never is taken for one.
  static Window* FromHwnd(HWND hwnd);
  // Destroys the window while the object is still whole, so WM_DESTROY
  // reaches the derived class (the destructor only cleans up).
  void Destroy();

 protected:
  // Registers the class once per process (idempotent) and creates the window.
  bool CreateWindowOfClass(const char* class_name, DWORD ex_style, DWORD style, const char* title,
                           int x, int y, int w, int h, HWND parent, HMENU menu,
                           UINT class_style = CS_DBLCLKS, HBRUSH background = nullptr);
  // The default: notifications of child controls are reflected to them, the
  // program-wide cursor is applied, the rest goes to DefWindowProc.
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

// Notifications that a parent sends back to the child control they came
// from, as kReflectBase + the original message number (WM_COMMAND,
// WM_NOTIFY, WM_DRAWITEM, WM_MEASUREITEM, WM_CTLCOLOR*), so each control
// object handles its own. Answers false when the message is no notification
// of a child or the child did not answer it.
inline constexpr UINT kReflectBase = 0x2000;
bool ReflectToChild(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result);

// Handlers of the program run inside window procedures; an exception they
// throw is caught at the procedure (and in the run loop's message filter)
// and handed to the reporter the program installs; without one, a plain
// message box.
void SetExceptionReporter(korvane::Callback<void(const std::string& what)> reporter);
void ReportCurrentException() noexcept;

}  // namespace ui
