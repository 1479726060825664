#include "ui/status_bar.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#include "ui/gdi.h"
#include "ui/wide.h"

namespace ui {

namespace {
// The text starts this far right of the bar's left edge.
constexpr int kTextIndent = 4;

UniqueFont StatusFont() {
  // The size without the padded-border field, which systems before Vista
  // refuse.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = offsetof(NONCLIENTMETRICSW, iPaddedBorderWidth);
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, metrics.cbSize, &metrics, 0)) return UniqueFont();
  return UniqueFont(CreateFontIndirectW(&metrics.lfStatusFont));
}

class StatusAccessible final : public Accessible {
 public:
  explicit StatusAccessible(HWND hwnd) : Accessible(hwnd) {}

 private:
  std::string Name(long) const override { return TextOf(hwnd()); }
  long Role(long) const override { return ROLE_SYSTEM_STATUSBAR; }
  long State(long) const override { return STATE_SYSTEM_READONLY; }
};
}  // namespace

bool StatusBar::Create(const StatusBarArgs& args) {
  size_grip_ = args.size_grip;
  const DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS;
  if (!CreateWindowOfClass("ui.StatusBar", 0, style, "", args.bounds.x, args.bounds.y, args.bounds.width,
                           args.bounds.height, args.parent, nullptr, CS_HREDRAW | CS_VREDRAW, nullptr)) {
    return false;
  }
  font_ = StatusFont();
  return true;
}

void StatusBar::SetText(std::string_view text) {
  const bool changed = Text() != text;
  SetTextOf(hwnd(), text);
  InvalidateRect(hwnd(), nullptr, FALSE);
  if (changed) RaiseEvent(hwnd(), EVENT_OBJECT_NAMECHANGE);
}

std::string StatusBar::Text() const { return TextOf(hwnd()); }

RECT StatusBar::GripRect() const {
  RECT client{};
  GetClientRect(hwnd(), &client);
  HWND root = GetAncestor(hwnd(), GA_ROOT);
  if (!size_grip_ || !root || IsZoomed(root) || !(GetWindowLongW(root, GWL_STYLE) & WS_THICKFRAME)) return RECT{};
  const int side = std::min<int>(client.bottom, GetSystemMetrics(SM_CXVSCROLL));
  return RECT{client.right - side, client.bottom - side, client.right, client.bottom};
}

void StatusBar::Paint(HDC dc, const RECT& client) const {
  FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  RECT grip = GripRect();
  if (!IsRectEmpty(&grip)) DrawFrameControl(dc, &grip, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
  const std::wstring text = WideTextOf(hwnd());
  if (text.empty()) return;
  ScopedSelect sel(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(COLOR_BTNTEXT));
  RECT r{client.left + kTextIndent, client.top, IsRectEmpty(&grip) ? client.right : grip.left, client.bottom};
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT StatusBar::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (PaintMessage(hwnd(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); })) return 0;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // the paint fills every pixel
    case WM_GETOBJECT:
      if (const LRESULT object = accessible_.Answer(wp, lp, [this] { return new StatusAccessible(hwnd()); }))
        return object;
      break;
    case WM_NCHITTEST: {
      POINT pt = MousePoint(lp);
      ScreenToClient(hwnd(), &pt);
      const RECT grip = GripRect();
      if (PtInRect(&grip, pt)) return HTBOTTOMRIGHT;
      break;
    }
    case WM_NCLBUTTONDOWN:
      // The grip sizes the top-level window, as its own corner would.
      if (wp == HTBOTTOMRIGHT) {
        SendMessageW(GetAncestor(hwnd(), GA_ROOT), WM_SYSCOMMAND, SC_SIZE | WMSZ_BOTTOMRIGHT, lp);
        return 0;
      }
      break;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
