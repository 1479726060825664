#include "ui/align.h"

#include <algorithm>

namespace ui {

RECT ArrangeAligned(RECT area, std::span<const AlignedChild> children) {
  for (const AlignedChild& c : children) {
    RECT r = area;
    switch (c.align) {
      case Align::Top:
        r.bottom = std::min(area.bottom, area.top + c.size);
        area.top = r.bottom;
        break;
      case Align::Bottom:
        r.top = std::max(area.top, area.bottom - c.size);
        area.bottom = r.top;
        break;
      case Align::Left:
        r.right = std::min(area.right, area.left + c.size);
        area.left = r.right;
        break;
      case Align::Right:
        r.left = std::max(area.left, area.right - c.size);
        area.right = r.left;
        break;
      case Align::Client:
        area.right = area.left;  // nothing is left for the ones after it
        break;
    }
    if (c.hwnd) {
      SetWindowPos(c.hwnd, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    }
  }
  return area;
}

}  // namespace ui
