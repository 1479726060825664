// The group commands of the group menu: new, rename, delete.
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"

namespace korvane {

void TFrmFR0010MN::MnuNewGroupClick() { CommitTitleEdit(); }

void TFrmFR0010MN::MnuChangeNameClick() { CommitTitleEdit(); }

void TFrmFR0010MN::MnuDeleteGroupClick() {
  CommitTitleEdit();
  const int row = LBGroup.ItemIndex();
  if (row < 0) return;
  const std::string name = model_.GroupAt(static_cast<std::size_t>(row)).name;
  // Joined, never formatted: the name is user text.
  const std::string question = name + " を" + "削除します。\r\n\r\nよろしいですか。";
  if (!Confirm(question)) return;
  model_.DeleteGroup(static_cast<std::size_t>(row));
  LBGroup.DeleteItem(row);
  DGMain.SetEnabled(false);
  ResetGrid();
  DGMain.Repaint();
}

}  // namespace korvane
