#include "ui/panel.h"

#include <algorithm>

#include "ui/bevel.h"
#include "ui/canvas.h"

namespace ui {

void DrawBevel(HDC dc, RECT& r, BevelCut cut, int width) {
  if (cut == BevelCut::None) return;
  const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
  const COLORREF dark = GetSysColor(COLOR_BTNSHADOW);
  Canvas canvas(dc);
  if (cut == BevelCut::Raised) {
    canvas.Frame3D(r, light, dark, width);
  } else {
    canvas.Frame3D(r, dark, light, width);
  }
}

Panel::~Panel() {
  for (Bevel* graphic : graphics_) graphic->panel_ = nullptr;
}

void Panel::AddGraphic(Bevel* graphic) { graphics_.push_back(graphic); }

void Panel::RemoveGraphic(Bevel* graphic) {
  graphics_.erase(std::remove(graphics_.begin(), graphics_.end(), graphic), graphics_.end());
}

bool Panel::Create(const PanelArgs& args) {
  outer_ = args.outer;
  inner_ = args.inner;
  bevel_width_ = args.bevel_width;
  const DWORD style = WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0);
  if (!CreateWindowOfClass("ui.Panel", WS_EX_CONTROLPARENT, style, "", args.bounds.x, args.bounds.y,
                           args.bounds.width, args.bounds.height, args.parent, nullptr, CS_DBLCLKS,
                           GetSysColorBrush(COLOR_BTNFACE))) {
    return false;
  }
  font_ = ControlFont(args.parent, args.font, own_font_);
  SetHelpContext(hwnd(), args.help_context);
  return true;
}

void Panel::Paint(HDC dc, const RECT& client) const {
  RECT r = client;
  DrawBevel(dc, r, outer_, bevel_width_);
  DrawBevel(dc, r, inner_, bevel_width_);
  for (const Bevel* graphic : graphics_) {
    const RECT place = graphic->Rect();
    if (graphic->visible() && RectVisible(dc, &place)) graphic->Paint(dc, place);
  }
}

LRESULT Panel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (PaintMessage(hwnd(), msg, wp, [this](HDC dc, const RECT& client) { Paint(dc, client); })) return 0;
  switch (msg) {
    case WM_SIZE:
      InvalidateRect(hwnd(), nullptr, TRUE);  // the bevels follow the edges
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_MOUSEMOVE:
      if (on_mouse_move) {
        on_mouse_move(MouseEventOf(msg, wp, lp));
      }
      return 0;
    case WM_NEXTDLGCTL:
      // Focus moves are the form's business.
      return SendMessageW(GetAncestor(hwnd(), GA_ROOT), msg, wp, lp);
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace ui
