// Selecting a group in the group list, and the group menu.
#include "app/FR0010MN.h"

namespace korvane {

void TFrmFR0010MN::LBGroupClick() {
  // A title edit still open belongs to the group it began in.
  CommitTitleEdit();
  const int row = LBGroup.ItemIndex();
  if (row < 0) return;
  model_.SelectGroup(row);
  // The group's paths are tested before the others'; its icons are asked
  // anew, in case its files changed.
  if (marker_queue_) marker_queue_->Prioritize(model_.GroupAt(static_cast<std::size_t>(row)).name);
  painter_.Icons().Clear();
  ResetGrid();
  DGMain.SetEnabled(true);
  DGMain.Repaint();
  DGMain.SetFocus();
}

// The title cell of entry 1, scrolled to the top.
void TFrmFR0010MN::ResetGrid() {
  if (DGMain.Col() != 1) DGMain.SetCol(1);
  if (DGMain.Row() != 1) DGMain.SetRow(1);
  if (DGMain.LeftCol() != 1) DGMain.SetLeftCol(1);
  if (DGMain.TopRow() != 1) DGMain.SetTopRow(1);
}

void TFrmFR0010MN::LBGroupMouseDown(const ui::MouseEvent& e) {
  if (e.button != ui::MouseButton::Right) return;
  const bool selected = LBGroup.ItemIndex() >= 0;
  PpmGroup->SetEnabled(kIdNewGroup, true);
  PpmGroup->SetEnabled(kIdChangeName, selected);
  PpmGroup->SetEnabled(kIdDeleteGroup, selected);
  POINT pt{e.x, e.y};
  ClientToScreen(LBGroup.hwnd(), &pt);
  PpmGroup->Popup(hwnd(), pt);
}

}  // namespace korvane
