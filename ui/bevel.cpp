#include "ui/bevel.h"

namespace ui {

bool Bevel::Create(const BevelArgs& args) {
  style_ = args.style;
  const DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (args.visible ? WS_VISIBLE : 0);
  return CreateWindowOfClass("ui.Bevel", 0, style, "", args.bounds.x, args.bounds.y, args.bounds.width,
                             args.bounds.height, args.parent, nullptr, 0, nullptr);
}

void Bevel::Paint(HDC dc, const RECT& client) const {
  RECT r = client;
  DrawBevel(dc, r, style_, 1);
}

LRESULT Bevel::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;  // painted with the parent's background in WM_PAINT
    case WM_PAINT: {
      PaintDC dc(hwnd());
      RECT client{};
      GetClientRect(hwnd(), &client);
      PaintParentBackground(hwnd(), dc.get());
      Paint(dc.get(), client);
      return 0;
    }
    case WM_NCHITTEST:
      return HTTRANSPARENT;  // a decoration: the mouse belongs to the parent
    default:
      return Window::HandleMessage(msg, wp, lp);
  }
}

}  // namespace ui
