#pragma once
// Column widths of the entry grid in both modes, and the title editor's
// width within its column. Plain arithmetic.

namespace korvane {

struct ColumnWidths {
  int title = 0;         // column 1
  int path = 0;          // column 2
};

// base = outer width - scroll bar - column 0 - 3 grid lines - 4. Registration
// mode (mode value 0) halves it (truncating toward zero); launcher mode gives the whole base
// to both columns, so the path column lies beyond the right edge.
ColumnWidths ComputeColumnWidths(int grid_outer_width, int scrollbar_width, int column0_width,
                                 int line_width, int mode);

// The title editor leaves the title's left margin and the frame free.
int TitleEditorWidth(int title_column_width);

}  // namespace korvane
