#include "ui/application.h"

#include "ui/form.h"
#include "ui/wide.h"

namespace ui {

namespace {
Application* g_current = nullptr;
}

Application::Application(HICON icon) : icon_(icon) {
  g_current = this;
  window_.Create();
}

Application::~Application() {
  window_.Destroy();
  if (g_current == this) g_current = nullptr;
}

Application* Application::Current() { return g_current; }

bool Application::AppWindow::Create() {
  // Zero-sized and hidden; WS_CAPTION and WS_MINIMIZEBOX give the taskbar
  // button its menu, and minimising it hides every window it owns.
  return CreateWindowOfClass("ui.Application", 0,
                             WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPSIBLINGS, "", 0, 0, 0, 0,
                             nullptr, nullptr, 0, nullptr);
}

LRESULT Application::AppWindow::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ACTIVATEAPP:
      // Every top-level window of the thread gets it; this one speaks for
      // the program.
      if (wp) {
        if (app_.on_activate) app_.on_activate();
      } else if (app_.on_deactivate) {
        app_.on_deactivate();
      }
      return 0;
    case WM_SETFOCUS: {
      // Activated through its taskbar button: the focus belongs to the
      // program's last active window (the main form or a dialog over it).
      HWND popup = GetLastActivePopup(hwnd());
      if (popup && popup != hwnd() && IsWindowVisible(popup) && IsWindowEnabled(popup) && !IsIconic(hwnd())) {
        SetFocus(popup);
      }
      return 0;
    }
    case WM_CLOSE:
      if (app_.main_form_) app_.main_form_->Close();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;  // the forms answer for themselves
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

void Application::SetTitle(std::string_view title) {
  title_.assign(title);
  SetTextOf(hwnd(), title_);
}

int Application::Run(Form& main) {
  main_form_ = &main;
  // The taskbar button: a zero-sized window that never takes the activation.
  ShowWindow(hwnd(), SW_SHOWNA);
  main.Show();
  MSG msg{};
  int code = 0;
  for (;;) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      code = static_cast<int>(msg.wParam);
      break;
    }
    if (got == -1) break;
    ProcessMessage(msg);
  }
  return code;
}

void Application::RequestEnd(int exit_code) { PostQuitMessage(exit_code); }

void Application::ProcessMessage(MSG& msg) {
  try {
    if (on_message && on_message(msg)) return;
    if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && msg.hwnd) {
      Form* form = Form::FromHwnd(GetAncestor(msg.hwnd, GA_ROOT));
      if (form && form->PreTranslate(msg)) return;
    }
  } catch (...) {
    ReportCurrentException();
    return;
  }
  // A Unicode loop for the program's Unicode windows: every character
  // arrives as typed.
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

bool Application::ProcessMessages() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return false;
    }
    ProcessMessage(msg);
  }
  return true;
}

void Application::RunUntil(const korvane::Callback<bool()>& done, unsigned limit_ms) {
  Application* app = Current();
  // A timer of the thread's wakes the wait for messages at the limit.
  const ULONGLONG end = limit_ms == INFINITE ? 0 : GetTickCount64() + limit_ms;
  const UINT_PTR timer = limit_ms == INFINITE ? 0 : SetTimer(nullptr, 0, limit_ms, nullptr);
  struct Timer {
    UINT_PTR id;
    ~Timer() {
      if (id) KillTimer(nullptr, id);
    }
  } kill{timer};
  MSG msg;
  while (!done() && (end == 0 || GetTickCount64() < end)) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      // The quit message belongs to the loop that runs the program.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    if (got < 0) return;
    if (app) {
      app->ProcessMessage(msg);
    } else {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
}

void Application::SetScreenCursor(ScreenCursor cursor) {
  screen_cursor_ = cursor;
  if (cursor != ScreenCursor::Default) {
    SetCursor(ui::SystemCursor(IDC_WAIT));
    return;
  }
  // Back to the cursor of whatever window of ours is under the pointer.
  POINT pt{};
  GetCursorPos(&pt);
  HWND under = WindowFromPoint(pt);
  if (under && GetWindowThreadProcessId(under, nullptr) == GetCurrentThreadId()) {
    const LRESULT hit = SendMessageW(under, WM_NCHITTEST, 0, MAKELPARAM(pt.x, pt.y));
    SendMessageW(under, WM_SETCURSOR, reinterpret_cast<WPARAM>(under), MAKELPARAM(hit, WM_MOUSEMOVE));
  } else {
    SetCursor(ui::SystemCursor(IDC_ARROW));
  }
}

bool Application::ApplyScreenCursor() {
  if (!g_current || g_current->screen_cursor_ == ScreenCursor::Default) return false;
  SetCursor(ui::SystemCursor(IDC_WAIT));
  return true;
}

bool Application::NoteFormActivated(Form* form) {
  if (active_form_ == form) return false;
  active_form_ = form;
  return true;
}

void Application::NoteFormGone(Form* form) {
  if (active_form_ == form) active_form_ = nullptr;
  if (main_form_ == form) main_form_ = nullptr;
}

void Application::BeginBusy() {
  if (busy_++ == 0) SetScreenCursor(ScreenCursor::HourGlass);
}

void Application::EndBusy() {
  if (busy_ > 0 && --busy_ == 0) SetScreenCursor(ScreenCursor::Default);
}

WaitCursor::WaitCursor() : app_(Application::Current()) {
  if (app_) app_->BeginBusy();
}

WaitCursor::~WaitCursor() {
  if (app_) app_->EndBusy();
}

}  // namespace ui
