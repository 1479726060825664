#include "grid/columns.h"

namespace korvane {

ColumnWidths ComputeColumnWidths(int grid_outer_width, int scrollbar_width, int column0_width,
                                 int line_width, int mode) {
  // 64-bit intermediate: a window can be made absurdly wide without overflow.
  const long long base = static_cast<long long>(grid_outer_width) - scrollbar_width - column0_width -
                         3LL * line_width - 4;
  ColumnWidths w;
  const long long each = (mode == 0) ? base / 2 : base;
  w.title = w.path = static_cast<int>(each);
  return w;
}

int TitleEditorWidth(int title_column_width) { return title_column_width - 23; }

}  // namespace korvane
