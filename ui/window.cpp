#include "ui/window.h"

#include <exception>

#include "ui/application.h"
#include "ui/wide.h"

namespace ui {

Window::~Window() {
  if (hwnd_) {
    // The object is going away: the window must not call back into it.
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

Window* Window::FromHwnd(HWND hwnd) {
  // The class's procedure, not the window's: a tooltip or a subclass may have
  // replaced the latter.
  if (!hwnd || reinterpret_cast<WNDPROC>(GetClassLongPtrW(hwnd, GCLP_WNDPROC)) != &Window::StaticProc) {
    return nullptr;
  }
  return reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool Window::CreateWindowOfClass(const char* class_name, DWORD ex_style, DWORD style, const char* title,
                                 int x, int y, int w, int h, HWND parent, HMENU menu,
                                 UINT class_style, HBRUSH background) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  const std::wstring cls = Wide(class_name);
  const std::wstring caption = Wide(title ? title : "");
  WNDCLASSEXW wc{};
  if (!GetClassInfoExW(inst, cls.c_str(), &wc)) {
    wc = WNDCLASSEXW{};
    wc.cbSize = sizeof wc;
    wc.style = class_style;
    wc.lpfnWndProc = &Window::StaticProc;
    wc.hInstance = inst;
    wc.hCursor = ui::SystemCursor(IDC_ARROW);
    wc.hbrBackground = background;
    wc.lpszClassName = cls.c_str();
    Application* app = Application::Current();
    wc.hIcon = app ? app->icon() : nullptr;
    if (!RegisterClassExW(&wc)) return false;
  }
  return CreateWindowExW(ex_style, cls.c_str(), title ? caption.c_str() : nullptr, style, x, y, w, h, parent, menu,
                         inst, this) != nullptr;
}

LRESULT Window::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  LRESULT reflected = 0;
  if (ReflectToChild(hwnd_, msg, wp, lp, reflected)) return reflected;
  if (msg == WM_SETCURSOR && Application::ApplyScreenCursor()) return TRUE;
  return DefWindowProcW(hwnd_, msg, wp, lp);
}

LRESULT CALLBACK Window::StaticProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Window* self = nullptr;
  if (msg == WM_NCCREATE) {
    self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lp)->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  }
  if (!self) return DefWindowProcW(hwnd, msg, wp, lp);
  try {
    if (msg == WM_NCDESTROY) {
      LRESULT r = self->HandleMessage(msg, wp, lp);
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
      return r;
    }
    return self->HandleMessage(msg, wp, lp);
  } catch (...) {
    if (msg == WM_NCDESTROY) {
      SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->hwnd_ = nullptr;
    }
    ReportCurrentException();
    return DefWindowProcW(hwnd, msg, wp, lp);
  }
}

bool ReflectToChild(HWND parent, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result) {
  HWND child = nullptr;
  switch (msg) {
    case WM_COMMAND:
      child = reinterpret_cast<HWND>(lp);  // null for menus and accelerators
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(lp)->hwndFrom;
      break;
    case WM_DRAWITEM: {
      const auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
      if (dis->CtlType != ODT_MENU) child = dis->hwndItem;
      break;
    }
    case WM_MEASUREITEM: {
      const auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
      if (mis->CtlType != ODT_MENU && mis->CtlID != 0) child = GetDlgItem(parent, static_cast<int>(mis->CtlID));
      break;
    }
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
      child = reinterpret_cast<HWND>(lp);
      break;
    default:
      return false;
  }
  if (!child || GetParent(child) != parent) return false;
  result = SendMessageW(child, kReflectBase + msg, wp, lp);
  // A control that does not know the reflected message answers 0: then the
  // parent's default handling runs (it matters for WM_CTLCOLOR*).
  return result != 0;
}

namespace {
korvane::Callback<void(const std::string&)>& Reporter() {
  static korvane::Callback<void(const std::string&)> reporter;
  return reporter;
}
}  // namespace

void SetExceptionReporter(korvane::Callback<void(const std::string& what)> reporter) {
  Reporter() = std::move(reporter);
}

void ReportCurrentException() noexcept {
  std::string what = "unexpected error";
  try {
    throw;
  } catch (const std::exception& e) {
    what = e.what();
  } catch (...) {
  }
  try {
    if (Reporter()) {
      Reporter()(what);
      return;
    }
  } catch (...) {
  }
  MessageBoxW(nullptr, Wide(what).c_str(), nullptr, MB_ICONEXCLAMATION | MB_OK | MB_TASKMODAL);
}

}  // namespace ui
