// The main window's painting handlers and column sizing.
#include "app/FR0010MN.h"
#include "data/settings.h"
#include "grid/columns.h"

namespace korvane {

void TFrmFR0010MN::ResizeColumns() {
  if (!DGMain.hwnd()) return;
  // Launcher mode shows only the title column: the current cell moves there
  // first.
  if (mode_ != kModeRegistration) DGMain.SetCol(1);
  const ColumnWidths w = ComputeColumnWidths(DGMain.Width(), ui::DrawGrid::ScrollBarWidth(), DGMain.ColWidth(0),
                                             DGMain.GridLineWidth(), mode_);
  DGMain.SetColWidth(1, w.title);
  DGMain.SetColWidth(2, w.path);
  ui::Bounds b = ui::BoundsOf(EdtTitle.hwnd());
  b.width = TitleEditorWidth(DGMain.ColWidth(1));
  ui::SetBounds(EdtTitle.hwnd(), b);
}

void TFrmFR0010MN::DGMainDrawCell(HDC dc, int col, int row, const RECT& rect, ui::CellState state) {
  CellState s;
  s.selected = (state & ui::kCellSelected) != 0;
  s.focused = (state & ui::kCellFocused) != 0;
  s.fixed = (state & ui::kCellFixed) != 0;
  painter_.DrawCell(dc, col, row, rect, s, model_.Current(), marks_);
}

void TFrmFR0010MN::LBGroupDrawItem(const ui::DrawItemEvent& e) {
  const auto& groups = model_.Groups();
  if (e.index < 0 || static_cast<std::size_t>(e.index) >= groups.size()) return;
  painter_.DrawGroupRow(e.dc, e.rect, e.index, groups[static_cast<std::size_t>(e.index)].name, e.selected);
}

}  // namespace korvane
