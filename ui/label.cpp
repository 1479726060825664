#include "ui/label.h"

#include "ui/application.h"
#include "ui/hint.h"
#include "ui/wide.h"

namespace ui {

namespace {
constexpr UINT kTextFormat = DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS;
}

bool Label::Create(const LabelArgs& args) {
  caption_ = args.caption;
  color_ = args.color;
  transparent_ = args.transparent;
  auto_size_ = args.auto_size;
  cursor_ = args.cursor;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0);
  if (!CreateWindowOfClass("ui.Label", 0, style, "", args.bounds.x, args.bounds.y, args.bounds.width,
                           args.bounds.height, args.parent, nullptr, CS_DBLCLKS, nullptr)) {
    return false;
  }
  font_ = ControlFont(args.parent, args.font, own_font_);
  FitToText();
  if (!args.hint.empty()) ui::SetHint(hwnd(), args.hint);
  return true;
}

void Label::SetCaption(std::string_view caption) {
  caption_.assign(caption);
  FitToText();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::SetFontColor(COLORREF color) {
  if (color == color_) return;
  color_ = color;
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::SetFont(const FontSpec& font) {
  UniqueFont made = MakeFont(font);
  if (!made) return;
  own_font_ = std::move(made);
  font_ = own_font_.get();
  FitToText();
  InvalidateRect(hwnd(), nullptr, TRUE);
}

void Label::SetHint(std::string_view hint) { ui::SetHint(hwnd(), hint); }

void Label::FitToText() {
  if (!auto_size_ || !hwnd()) return;
  WindowDC dc(hwnd());
  ScopedSelect sel(dc.get(), font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  RECT r{0, 0, 0, 0};
  if (caption_.empty()) {
    TEXTMETRICW tm{};
    GetTextMetricsW(dc.get(), &tm);
    r.bottom = tm.tmHeight;
  } else {
    const std::wstring wide = Wide(caption_);
    DrawTextW(dc.get(), wide.data(), static_cast<int>(wide.size()), &r, kTextFormat | DT_CALCRECT);
  }
  SetWindowPos(hwnd(), nullptr, 0, 0, r.right, r.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Label::Paint(HDC dc, const RECT& client) const {
  if (transparent_) {
    PaintParentBackground(hwnd(), dc);
  } else {
    FillRect(dc, &client, GetSysColorBrush(COLOR_BTNFACE));
  }
  ScopedSelect sel(dc, font_ ? static_cast<HGDIOBJ>(font_) : GetStockObject(DEFAULT_GUI_FONT));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, color_ == kDefaultTextColor ? GetSysColor(COLOR_WINDOWTEXT) : color_);
  RECT r = client;
  const std::wstring wide = Wide(caption_);
  DrawTextW(dc, wide.data(), static_cast<int>(wide.size()), &r, kTextFormat);
}

LRESULT Label::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (PaintMessage(hwnd(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); })) return 0;
  if (clicks_.Handle(hwnd(), msg, lp, on_click)) return 0;
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // all of it is painted in WM_PAINT
    case WM_SETCURSOR:
      if (Application::ApplyScreenCursor()) return TRUE;
      if (cursor_ && LOWORD(lp) == HTCLIENT) {
        ::SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_MOUSEMOVE:
      if (on_mouse_move) on_mouse_move(MouseEventOf(msg, wp, lp));
      return 0;
    default:
      break;
  }
  return Window::HandleMessage(msg, wp, lp);
}

}  // namespace ui
