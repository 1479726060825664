#include "ui/form.h"

#include "ui/application.h"
#include "ui/hint.h"
#include "ui/menu.h"
#include "ui/wide.h"

namespace ui {

namespace {
bool IsLiveChild(HWND form, HWND h) {
  return h && IsWindow(h) && IsChild(form, h) && IsWindowVisible(h) && IsWindowEnabled(h);
}

// What the focused control wants of the keyboard (DLGC_* flags).
UINT DialogCode(const MSG& msg) {
  return static_cast<UINT>(
      SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg)));
}
}  // namespace

Form::~Form() {
  if (hwnd() && menu_) SetMenu(hwnd(), nullptr);  // the MenuBar owns the menu
  if (Application* app = Application::Current()) app->NoteFormGone(this);
}

bool Form::Create(const FormArgs& args) {
  font_spec_ = args.font;
  font_ = MakeFont(args.font);
  DWORD style = WS_CLIPCHILDREN;
  DWORD ex_style = WS_EX_CONTROLPARENT;
  if (args.kind == FormKind::Sizeable) {
    style |= WS_OVERLAPPEDWINDOW;
  } else {
    style |= WS_POPUP | WS_CAPTION | (args.close_box ? WS_SYSMENU : 0);
    ex_style |= WS_EX_DLGMODALFRAME;
  }
  Bounds b = args.bounds;
  if (args.client_size) {
    RECT r{0, 0, b.width, b.height};
    AdjustWindowRectEx(&r, style, FALSE, ex_style);
    b.width = r.right - r.left;
    b.height = r.bottom - r.top;
  }
  HWND owner = args.owner;
  Application* app = Application::Current();
  if (!owner && app) {
    Form* main = app->main_form();
    owner = (args.kind == FormKind::Dialog && main && main->hwnd()) ? main->hwnd() : app->hwnd();
  }
  if (!CreateWindowOfClass(args.class_name, ex_style, style, args.caption.c_str(), b.x, b.y, b.width, b.height,
                           owner, nullptr, CS_DBLCLKS, GetSysColorBrush(args.background))) {
    return false;
  }
  SetHelpContext(hwnd(), args.help_context);
  CreateControls();
  OnCreate();
  return true;
}

Form* Form::FromHwnd(HWND hwnd) { return dynamic_cast<Form*>(Window::FromHwnd(hwnd)); }

void Form::OnCreate() {
  if (on_create) on_create();
}
void Form::OnDestroy() {
  if (on_destroy) on_destroy();
}
bool Form::OnCloseQuery() { return !on_close_query || on_close_query(); }
void Form::OnResize() {
  if (on_resize) on_resize();
}
void Form::OnActivate() {
  if (on_activate) on_activate();
}
void Form::OnMouseMove(const MouseEvent& e) {
  if (on_mouse_move) on_mouse_move(e);
}
HPALETTE Form::Palette() { return on_palette ? on_palette() : nullptr; }
bool Form::OnQueryEndSession() { return on_query_end_session ? on_query_end_session() : OnCloseQuery(); }
void Form::OnEndSession(bool ending) {
  if (on_end_session) on_end_session(ending);
}

void Form::SetMessageHandler(UINT msg, MessageHandler handler) {
  for (auto& [m, h] : handlers_) {
    if (m == msg) {
      h = std::move(handler);
      return;
    }
  }
  handlers_.emplace_back(msg, std::move(handler));
}

Bounds Form::bounds() const {
  RECT r{};
  GetWindowRect(hwnd(), &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetBounds(const Bounds& b) {
  SetWindowPos(hwnd(), nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::SetLeft(int x) {
  Bounds b = bounds();
  b.x = x;
  SetBounds(b);
}

void Form::SetTop(int y) {
  Bounds b = bounds();
  b.y = y;
  SetBounds(b);
}

void Form::SetWidth(int w) {
  Bounds b = bounds();
  b.width = w;
  SetBounds(b);
}

void Form::SetHeight(int h) {
  Bounds b = bounds();
  b.height = h;
  SetBounds(b);
}

SIZE Form::ClientSize() const {
  RECT r{};
  GetClientRect(hwnd(), &r);
  return {r.right, r.bottom};
}

bool Form::Maximized() const {
  return Visible() ? IsZoomed(hwnd()) != FALSE : show_command_ == SW_SHOWMAXIMIZED;
}

void Form::SetMaximized(bool maximized) {
  if (Visible()) {
    ShowWindow(hwnd(), maximized ? SW_MAXIMIZE : SW_RESTORE);
  } else {
    show_command_ = maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
  }
}

std::string Form::Caption() const { return TextOf(hwnd()); }

void Form::SetCaption(std::string_view caption) { SetTextOf(hwnd(), caption); }

void Form::SetAlignedLayout(std::vector<AlignedChild> layout) {
  layout_ = std::move(layout);
  RECT client{};
  GetClientRect(hwnd(), &client);
  ArrangeAligned(client, layout_);
}

void Form::SetMainMenu(MenuBar* menu) {
  menu_ = menu;
  SetMenu(hwnd(), menu ? menu->handle() : nullptr);
}

void Form::Show() {
  if (Visible()) return;
  ShowWindow(hwnd(), show_command_);
  if (show_command_ == SW_SHOWNORMAL || show_command_ == SW_SHOWMAXIMIZED) show_command_ = SW_SHOW;
}

void Form::Hide() { ShowWindow(hwnd(), SW_HIDE); }

bool Form::Visible() const { return hwnd() && IsWindowVisible(hwnd()); }

int Form::ShowModal() {
  if (!hwnd() || in_modal_) return kModalCancel;
  Application* app = Application::Current();
  if (GetCapture()) ReleaseCapture();
  ModalGuard guard(hwnd());

  in_modal_ = true;
  modal_result_ = kModalNone;
  EnableWindow(hwnd(), TRUE);
  ShowWindow(hwnd(), SW_SHOWNORMAL);
  SetForegroundWindow(hwnd());
  MSG msg{};
  while (modal_result_ == kModalNone && hwnd()) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0) {
      PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop that owns it
      modal_result_ = kModalCancel;
      break;
    }
    if (got == -1) break;
    if (app) {
      app->ProcessMessage(msg);
    } else {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }
  // Enable first, so that hiding hands the activation back to the owner.
  guard.Enable();
  if (hwnd()) {
    SetWindowPos(hwnd(), nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  guard.Reactivate();
  in_modal_ = false;
  return modal_result_ == kModalNone ? kModalCancel : modal_result_;
}

void Form::EndModal(int result) {
  modal_result_ = result;
  if (hwnd()) PostMessageW(hwnd(), WM_NULL, 0, 0);  // wakes the modal loop
}

void Form::Close() {
  if (hwnd()) SendMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void Form::Invalidate() { InvalidateRect(hwnd(), nullptr, TRUE); }

void Form::RepaintNow() {
  InvalidateRect(hwnd(), nullptr, TRUE);
  UpdateWindow(hwnd());
}

HWND Form::FocusedControl() const {
  HWND f = GetFocus();
  if (f && IsChild(hwnd(), f)) return f;
  return saved_focus_ && IsWindow(saved_focus_) ? saved_focus_ : nullptr;
}

void Form::FocusControl(HWND control) {
  saved_focus_ = control;
  SetFocus(control);
}

void Form::RestoreFocus() {
  if (IsIconic(hwnd())) return;  // a minimised window keeps the focus itself
  HWND target = IsLiveChild(hwnd(), saved_focus_) ? saved_focus_ : NextTabStop(hwnd(), nullptr, false);
  if (target && target != GetFocus()) SetFocus(target);
}

void Form::Activated(WPARAM wp) {
  if (LOWORD(wp) == WA_INACTIVE) {
    HWND f = GetFocus();
    if (f && IsChild(hwnd(), f)) saved_focus_ = f;
    return;
  }
  if (HIWORD(wp) == 0) {  // not minimised
    RestoreFocus();
    if (!GetFocus()) SetFocus(hwnd());
  }
  Application* app = Application::Current();
  if (app && app->NoteFormActivated(this)) OnActivate();
}

UINT Form::RealizeOwnPalette(bool background) {
  HPALETTE palette = Palette();
  if (!palette) return 0;
  WindowDC dc(hwnd());
  ScopedPalette selected(dc.get(), palette, background);
  const UINT changed = selected.Realize();
  if (changed) InvalidateRect(hwnd(), nullptr, TRUE);
  return changed;
}

void Form::QueryClose() {
  if (!OnCloseQuery()) return;
  if (in_modal_) {
    if (modal_result_ == kModalNone) EndModal(kModalCancel);
    return;
  }
  Application* app = Application::Current();
  if (app && app->main_form() == this) {
    app->RequestEnd();  // the window stays until the program's end destroys it
    return;
  }
  Hide();
}

void Form::Press(HWND button) {
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

bool Form::PreTranslate(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_SYSKEYDOWN) return false;
  if (menu_ && menu_->accelerators() && TranslateAcceleratorW(hwnd(), menu_->accelerators(), &msg)) return true;
  if (msg.message != WM_KEYDOWN) return false;
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  switch (msg.wParam) {
    case VK_F1: {
      if (shift || ctrl || alt) return false;
      DWORD context = 0;
      for (HWND h = msg.hwnd; h && !context; h = (h == hwnd()) ? nullptr : GetParent(h)) {
        context = GetWindowContextHelpId(h);
      }
      Application* app = Application::Current();
      if (!context || !app || !app->on_help) return false;
      app->on_help(context);
      return true;
    }
    case VK_TAB: {
      if (ctrl || alt || (DialogCode(msg) & (DLGC_WANTTAB | DLGC_WANTALLKEYS))) return false;
      HWND next = NextTabStop(hwnd(), GetFocus(), shift);
      if (next) SetFocus(next);
      return true;
    }
    case VK_RETURN: {
      if (alt) return false;
      const UINT code = DialogCode(msg);
      if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      HWND button = (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)) ? msg.hwnd : default_button_;
      if (!IsLiveChild(hwnd(), button)) return false;
      Press(button);
      return true;
    }
    case VK_ESCAPE: {
      if (!IsLiveChild(hwnd(), cancel_button_)) return false;
      if (DialogCode(msg) & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) return false;
      Press(cancel_button_);
      return true;
    }
    default:
      return false;
  }
}

LRESULT Form::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  for (auto& [m, handler] : handlers_) {
    LRESULT result = 0;
    if (m == msg && handler && handler(wp, lp, result)) return result;
  }
  switch (msg) {
    case WM_DESTROY:
      if (menu_) SetMenu(hwnd(), nullptr);  // the MenuBar owns the menu
      OnDestroy();
      if (Application* app = Application::Current()) app->NoteFormGone(this);
      return 0;
    case WM_NCDESTROY:
      ForgetTooltip(hwnd());
      saved_focus_ = nullptr;
      break;
    case WM_CLOSE:
      QueryClose();
      return 0;
    case WM_SIZE:
      if (wp != SIZE_MINIMIZED) {
        if (!layout_.empty()) ArrangeAligned(RECT{0, 0, LOWORD(lp), HIWORD(lp)}, layout_);
        OnResize();
      }
      return 0;
    case WM_ACTIVATE:
      Activated(wp);
      return 0;
    case WM_SETFOCUS:
      RestoreFocus();
      return 0;
    case WM_MOUSEMOVE:
      OnMouseMove(MouseEventOf(msg, wp, lp));
      return 0;
    case WM_PAINT:
      if (on_paint) {
        PaintDC dc(hwnd());
        RECT client{};
        GetClientRect(hwnd(), &client);
        on_paint(dc.get(), client);
        return 0;
      }
      break;
    case WM_PRINTCLIENT:
      if (on_paint) {
        RECT client{};
        GetClientRect(hwnd(), &client);
        on_paint(reinterpret_cast<HDC>(wp), client);
      }
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_.get());
    case WM_COMMAND:
      if (lp == 0 && menu_ && menu_->Run(LOWORD(wp))) return 0;
      break;
    case WM_NEXTDLGCTL: {
      HWND target = LOWORD(lp) ? reinterpret_cast<HWND>(wp) : NextTabStop(hwnd(), GetFocus(), wp != 0);
      if (target) SetFocus(target);
      return 0;
    }
    case WM_QUERYNEWPALETTE:
      return RealizeOwnPalette(false) ? TRUE : FALSE;
    case WM_PALETTECHANGED:
      if (reinterpret_cast<HWND>(wp) != hwnd()) RealizeOwnPalette(true);
      return 0;
    case WM_QUERYENDSESSION:
      return OnQueryEndSession() ? TRUE : FALSE;
    case WM_ENDSESSION:
      OnEndSession(wp != 0);
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
