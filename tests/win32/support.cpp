#include "support.h"

#include <gtest/gtest.h>

#include <optional>

#include "common/text.h"

namespace kit {

ui::Application& App() {
  static ui::Application app;
  return app;
}

bool PumpUntil(const std::function<bool()>& done, int timeout_ms) {
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(timeout_ms);
  for (;;) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return done();
      App().ProcessMessage(msg);
      if (done()) return true;
    }
    if (done()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjectsEx(0, nullptr, 20, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
}

void Pump() {
  // Twice: handling a message may post more.
  for (int i = 0; i < 2; ++i) {
    MSG msg{};
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      App().ProcessMessage(msg);
    }
  }
}

void PostKey(HWND hwnd, UINT vk) {
  const UINT scan = MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  PostMessageW(hwnd, WM_KEYDOWN, vk, 1 | (scan << 16));
  PostMessageW(hwnd, WM_KEYUP, vk, 1 | (scan << 16) | 0xC0000000u);
}

void PostChar(HWND hwnd, wchar_t c) { PostMessageW(hwnd, WM_CHAR, c, 1); }

void PostAnsiChars(HWND hwnd, const std::string& text) {
  // The code page 932 bytes a Japanese keyboard of an ANSI program sends.
  const std::optional<std::string> bytes = korvane::Cp932FromUtf8(text);
  ASSERT_TRUE(bytes.has_value()) << text << " has no code page 932 form";
  for (char b : *bytes) PostMessageA(hwnd, WM_CHAR, static_cast<unsigned char>(b), 1);
}

void PostButton(HWND hwnd, UINT down_msg, int x, int y) {
  const LPARAM at = MAKELPARAM(x, y);
  UINT up_msg = WM_LBUTTONUP;
  WPARAM keys = MK_LBUTTON;
  if (down_msg == WM_RBUTTONDOWN) {
    up_msg = WM_RBUTTONUP;
    keys = MK_RBUTTON;
  } else if (down_msg == WM_MBUTTONDOWN) {
    up_msg = WM_MBUTTONUP;
    keys = MK_MBUTTON;
  }
  PostMessageW(hwnd, down_msg, keys, at);
  PostMessageW(hwnd, up_msg, 0, at);
}

void SendKeys(std::initializer_list<WORD> vks) {
  std::vector<INPUT> in;
  for (WORD vk : vks) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    in.push_back(i);
  }
  for (auto it = vks.end(); it != vks.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
}

HeldKey::HeldKey(BYTE vk) : vk_(vk) {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[vk_] |= 0x80;
  SetKeyboardState(state);
}

HeldKey::~HeldKey() {
  BYTE state[256] = {};
  GetKeyboardState(state);
  state[vk_] &= 0x7F;
  SetKeyboardState(state);
}

bool BringToFront(HWND hwnd) {
  return PumpUntil([&] {
    if (GetForegroundWindow() != hwnd) SetForegroundWindow(hwnd);
    return GetForegroundWindow() == hwnd;
  });
}

bool MakeForm(ui::Form& form, const TestFormArgs& args) {
  App();
  ui::FormArgs fa;
  fa.caption = "test";
  fa.kind = args.kind;
  fa.bounds = {100, 100, args.width, args.height};
  if (!form.Create(fa)) return false;
  form.Show();
  return BringToFront(form.hwnd()) && PumpUntil([&] { return GetActiveWindow() == form.hwnd(); });
}

bool KeySink::Create(HWND parent, int x, int y, int w, int h) {
  return CreateWindowOfClass("kit.KeySink", 0, WS_CHILD | WS_VISIBLE | WS_TABSTOP, "", x, y, w, h, parent,
                             nullptr);
}

LRESULT KeySink::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_KEYDOWN) {
    keys += "D" + std::to_string(wp) + ";";
    return 0;
  }
  if (msg == WM_LBUTTONDOWN) {
    SetFocus(hwnd());
    return 0;
  }
  return Window::HandleMessage(msg, wp, lp);
}

OtherThreadWindow::OtherThreadWindow() {
  ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  thread_ = CreateThread(nullptr, 0, &OtherThreadWindow::Main, this, 0, &thread_id_);
  // Its visible window takes the activation from ours with sent messages.
  PumpUntil([&] { return WaitForSingleObject(ready_, 0) == WAIT_OBJECT_0; });
}

OtherThreadWindow::~OtherThreadWindow() {
  if (hwnd_) PostMessageA(hwnd_, WM_CLOSE, 0, 0);
  if (thread_) {
    // Its window's end activates one of ours with sent messages: keep
    // handling them while waiting.
    PumpUntil([&] { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; });
    CloseHandle(thread_);
  }
  if (ready_) CloseHandle(ready_);
}

namespace {
LRESULT CALLBACK OtherProgramProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_CLOSE) {
    DestroyWindow(h);
    return 0;
  }
  if (m == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(h, m, w, l);
}
}  // namespace

DWORD WINAPI OtherThreadWindow::Main(void* p) {
  auto* self = static_cast<OtherThreadWindow*>(p);
  WNDCLASSA wc{};
  wc.lpfnWndProc = &OtherProgramProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "kit.OtherProgram";
  wc.hbrBackground = GetSysColorBrush(COLOR_WINDOW);
  RegisterClassA(&wc);
  self->hwnd_ = CreateWindowA("kit.OtherProgram", "other program", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 500,
                              200, 150, nullptr, nullptr, wc.hInstance, nullptr);
  SetEvent(self->ready_);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

}  // namespace kit
