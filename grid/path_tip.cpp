#include "grid/path_tip.h"

#include <algorithm>

#include "data/settings.h"

namespace korvane {

std::string PathTip::TextAt(POINT point, RECT* spot) const {
  const ui::GridCell cell = grid_.MouseToCell(point.x, point.y);
  const Group* group = model_.Current();
  const Entry* entry = group && cell.row >= 1 ? group->EntryAt(static_cast<std::size_t>(cell.row)) : nullptr;
  if (!entry || entry->path.empty()) return {};
  RECT r = grid_.CellRect(cell.col, cell.row);
  if (IsRectEmpty(&r)) return {};
  const bool launcher = mode_ != kModeRegistration;
  if (cell.col == 1 && !launcher) return {};
  if (cell.col == 2) {
    // A cell cut off at the grid's right edge hides the end of its path
    // too: the text must end inside what is shown of the cell.
    RECT client{};
    GetClientRect(grid_.hwnd(), &client);
    const int shown = std::min(r.right, client.right) - r.left;
    const int width = r.right - r.left;
    if (painter_.PathFitsPlate(std::min(width, shown + 17), entry->path)) return {};
  } else if (cell.col != 1) {
    return {};
  }
  *spot = r;
  return entry->path;
}

}  // namespace korvane
