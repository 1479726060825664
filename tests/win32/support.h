#pragma once
// Helpers of the toolkit tests: the one application object of the test
// process, pumping messages until a condition holds, and input the way
// Windows delivers it (posted keyboard and mouse messages, SendInput).
#include <windows.h>

#include <functional>
#include <string>

#include "ui/application.h"
#include "ui/form.h"

namespace kit {

// Made before the first window of the test process, like the program's.
ui::Application& App();

// Handles messages (through the application's filter and keyboard handling)
// until `done` holds or `timeout_ms` passes; answers `done()`. The timeout is
// generous: it only keeps a broken test from hanging.
bool PumpUntil(const std::function<bool()>& done, int timeout_ms = 10000);
// Handles what is queued now, plus what that produces.
void Pump();

// Posted input, as the window of the key focus would get it.
void PostKey(HWND hwnd, UINT vk);
void PostChar(HWND hwnd, wchar_t c);                     // a Unicode WM_CHAR
void PostAnsiChars(HWND hwnd, const std::string& text);  // UTF-8 sent as code page 932 lead/trail bytes
void PostButton(HWND hwnd, UINT down_msg, int x, int y);  // down, then up
// Real keyboard input for the focused window (key state included).
void SendKeys(std::initializer_list<WORD> vks);

// Holds a key down in this thread's key state (for posted messages that
// the receiver reads together with GetKeyState).
class HeldKey {
 public:
  explicit HeldKey(BYTE vk);
  ~HeldKey();

 private:
  BYTE vk_;
};

// Brings `hwnd` (ours or another thread's) to the foreground and waits
// until it is there, asking again if a late activation of the previous
// window took the foreground back.
bool BringToFront(HWND hwnd);

// A form ready for tests: created, placed on screen, shown and active.
struct TestFormArgs {
  ui::FormKind kind = ui::FormKind::Sizeable;
  int width = 400;
  int height = 300;
};
bool MakeForm(ui::Form& form, const TestFormArgs& args = {});

// A child window of our own class that records the keys it gets.
class KeySink : public ui::Window {
 public:
  bool Create(HWND parent, int x, int y, int w, int h);
  std::string keys;  // "D<vk>;" per WM_KEYDOWN

 protected:
  LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
};

// Runs `body` on a thread of its own that has a window (another program,
// as far as activation goes), and waits for it.
class OtherThreadWindow {
 public:
  OtherThreadWindow();
  ~OtherThreadWindow();
  HWND hwnd() const { return hwnd_; }

 private:
  static DWORD WINAPI Main(void* self);
  HANDLE thread_ = nullptr;
  HANDLE ready_ = nullptr;
  DWORD thread_id_ = 0;
  HWND hwnd_ = nullptr;
};

}  // namespace kit
