#include "ui/control.h"

#include <vector>

#include "ui/wide.h"
#include "ui/window.h"

namespace ui {

namespace {
// The object behind a subclassed control, and the control's own window
// procedure: properties of its window.
constexpr wchar_t kControlProperty[] = L"ui.SubclassedControl";
constexpr wchar_t kBaseProcProperty[] = L"ui.SubclassedControl.base";

// Control ids: unique and never IDOK/IDCANCEL, so WM_MEASUREITEM (which
// names its control by id only) finds its control.
HMENU NextControlId() {
  static unsigned next = 0x1000;
  const unsigned id = next;
  next = next >= 0xEFFF ? 0x1000 : next + 1;
  return reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id));
}
}  // namespace

SubclassedControl::~SubclassedControl() { Destroy(); }

void SubclassedControl::Destroy() {
  if (!hwnd_) return;
  HWND h = hwnd_;
  Unsubclass();
  DestroyWindow(h);
}

// The window procedure is replaced the classic way (no common-controls
// library at start): the control's own one is called for the rest.
bool SubclassedControl::CreateControl(const char* class_name, DWORD ex_style, DWORD style, std::string_view text,
                                      const Bounds& b, HWND parent) {
  const std::wstring cls = Wide(class_name);
  const std::wstring wtext = Wide(text);
  HWND h = CreateWindowExW(ex_style, cls.c_str(), wtext.c_str(), style, b.x, b.y, b.width, b.height, parent,
                           NextControlId(), GetModuleHandleW(nullptr), nullptr);
  if (!h) return false;
  base_proc_ = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(h, GWLP_WNDPROC));
  if (!base_proc_ || !SetPropW(h, kBaseProcProperty, reinterpret_cast<HANDLE>(base_proc_)) ||
      !SetPropW(h, kControlProperty, this) ||
      !SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassedControl::Proc))) {
    DestroyWindow(h);
    return false;
  }
  hwnd_ = h;
  return true;
}

void SubclassedControl::Unsubclass() {
  // A tooltip may have subclassed the control after us: its procedure then
  // stays, and ours passes every message on to the control's own.
  if (GetWindowLongPtrW(hwnd_, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassedControl::Proc)) {
    SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(base_proc_));
    RemovePropW(hwnd_, kBaseProcProperty);
  }
  RemovePropW(hwnd_, kControlProperty);
  hwnd_ = nullptr;
}

LRESULT SubclassedControl::OnMessage(UINT msg, WPARAM wp, LPARAM lp) { return Default(msg, wp, lp); }

LRESULT SubclassedControl::Default(UINT msg, WPARAM wp, LPARAM lp) {
  return CallWindowProcW(base_proc_, hwnd_, msg, wp, lp);
}

LRESULT CALLBACK SubclassedControl::Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  auto* self = static_cast<SubclassedControl*>(GetPropW(hwnd, kControlProperty));
  // The property serves once the object has let go of the window.
  const WNDPROC base = self ? self->base_proc_ : reinterpret_cast<WNDPROC>(GetPropW(hwnd, kBaseProcProperty));
  if (!base) return DefWindowProcW(hwnd, msg, wp, lp);
  if (msg == WM_NCDESTROY) {
    // The window is going: the object lets go of it, and the properties go
    // before it does.
    if (self) self->Unsubclass();
    const LRESULT result = CallWindowProcW(base, hwnd, msg, wp, lp);
    RemovePropW(hwnd, kBaseProcProperty);
    return result;
  }
  if (!self) return CallWindowProcW(base, hwnd, msg, wp, lp);
  try {
    return self->OnMessage(msg, wp, lp);
  } catch (...) {
    ReportCurrentException();
    return CallWindowProcW(base, hwnd, msg, wp, lp);
  }
}

HFONT ControlFont(HWND parent, const std::optional<FontSpec>& font, UniqueFont& own) {
  if (font) {
    own = MakeFont(*font);
    if (own) return own.get();
  }
  return parent ? reinterpret_cast<HFONT>(SendMessageW(parent, WM_GETFONT, 0, 0)) : nullptr;
}

void SetBounds(HWND hwnd, const Bounds& b) {
  SetWindowPos(hwnd, nullptr, b.x, b.y, b.width, b.height, SWP_NOZORDER | SWP_NOACTIVATE);
}

Bounds BoundsOf(HWND hwnd) {
  RECT r{};
  GetWindowRect(hwnd, &r);
  HWND parent = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) ? GetParent(hwnd) : nullptr;
  if (parent) MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void SetVisible(HWND hwnd, bool visible) { ShowWindow(hwnd, visible ? SW_SHOWNA : SW_HIDE); }

void SetEnabled(HWND hwnd, bool enabled) { EnableWindow(hwnd, enabled ? TRUE : FALSE); }

void SetHelpContext(HWND hwnd, DWORD context) { SetWindowContextHelpId(hwnd, context); }

DWORD HelpContextOf(HWND hwnd) { return GetWindowContextHelpId(hwnd); }

void Invalidate(HWND hwnd) { InvalidateRect(hwnd, nullptr, TRUE); }

void RepaintNow(HWND hwnd) {
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
}

void SetTabOrder(std::initializer_list<HWND> order) {
  HWND prev = nullptr;
  for (HWND h : order) {
    if (prev) SetWindowPos(h, prev, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    prev = h;
  }
}

namespace {
void CollectTabStops(HWND parent, std::vector<HWND>& out) {
  for (HWND c = GetWindow(parent, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(c, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED)) continue;
    if (style & WS_TABSTOP) out.push_back(c);
    if (GetWindowLongW(c, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) CollectTabStops(c, out);
  }
}
}  // namespace

HWND NextTabStop(HWND root, HWND from, bool previous) {
  std::vector<HWND> stops;
  CollectTabStops(root, stops);
  if (stops.empty()) return nullptr;
  // The focus may sit in a child of a tab stop (an edit inside a combo box).
  for (HWND h = from; h && h != root; h = GetParent(h)) {
    for (std::size_t i = 0; i < stops.size(); ++i) {
      if (stops[i] != h) continue;
      const std::size_t n = stops.size();
      return stops[previous ? (i + n - 1) % n : (i + 1) % n];
    }
  }
  return previous ? stops.back() : stops.front();
}

bool PaintMessage(HWND hwnd, UINT msg, WPARAM wp, const korvane::Callback<void(HDC, const RECT&)>& paint) {
  if (msg != WM_PAINT && msg != WM_PRINTCLIENT) return false;
  RECT client{};
  GetClientRect(hwnd, &client);
  if (msg == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wp), client);
  } else {
    PaintDC dc(hwnd);
    paint(dc.get(), client);
  }
  return true;
}

MouseEvent MouseEventOf(UINT msg, WPARAM wp, LPARAM lp) {
  MouseButton button = MouseButton::Left;
  switch (msg) {
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_RBUTTONDBLCLK: button = MouseButton::Right; break;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MBUTTONDBLCLK: button = MouseButton::Middle; break;
    default: break;
  }
  const POINT pt = MousePoint(lp);
  return MouseEvent{button, static_cast<UINT>(wp), pt.x, pt.y};
}

bool ClickTracker::Handle(HWND hwnd, UINT msg, LPARAM lp, const korvane::Callback<void()>& on_click) {
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
      pressed_ = true;
      SetCapture(hwnd);
      return true;
    case WM_LBUTTONUP: {
      const bool was_pressed = pressed_;
      pressed_ = false;
      if (GetCapture() == hwnd) ReleaseCapture();
      RECT client{};
      GetClientRect(hwnd, &client);
      const POINT pt = MousePoint(lp);
      if (was_pressed && PtInRect(&client, pt) && on_click) on_click();
      return true;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return true;
    default:
      return false;
  }
}

void PaintParentBackground(HWND child, HDC dc) {
  HWND parent = GetParent(child);
  if (!parent) return;
  POINT origin{0, 0};
  MapWindowPoints(child, parent, &origin, 1);
  POINT old{};
  OffsetViewportOrgEx(dc, -origin.x, -origin.y, &old);
  SendMessageW(parent, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
  SendMessageW(parent, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc), PRF_CLIENT);
  SetViewportOrgEx(dc, old.x, old.y, nullptr);
}

}  // namespace ui
