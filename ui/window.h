#pragma once
// The one window base class: the static procedure takes `this` from the
// creation parameters at WM_NCCREATE, keeps it in GWLP_USERDATA and forwards
// every message to HandleMessage.
#include <windows.h>

namespace ui {

class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers the class once per process (idempotent) and creates the window.
  bool CreateWindowOfClass(const char* class_name, DWORD ex_style, DWORD style, const char* title,
                           int x, int y, int w, int h, HWND parent, HMENU menu,
                           UINT class_style = CS_DBLCLKS, HBRUSH background = nullptr);
  virtual LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp);

 private:
  static LRESULT CALLBACK StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
  HWND hwnd_ = nullptr;
};

}  // namespace ui
