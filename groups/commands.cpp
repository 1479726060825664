// The group commands of the group menu: new, rename, delete. None touches a
// file: the next save writes and deletes the group files.
#include <exception>

#include "about/FR0020AB.h"
#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"

namespace korvane {

void TFrmFR0010MN::AddGroup(const std::string& name) {
  try {
    model_.AddGroup(name);
    LBGroup.AddItem(name);
  } catch (const std::exception& e) {
    ShowWarning(e.what());
  }
}

void TFrmFR0010MN::MnuNewGroupClick() {
  CommitTitleEdit();
  try {
    TFrmFR0030NG dialog(model_);
    dialog.SetDataFolder(data_folder_);
    if (!dialog.Create(hwnd())) return;
    dialog.ShowModal();
    if (dialog.Accepted) AddGroup(dialog.ResultName);
  } catch (...) {
    // Errors of the command end it without a message; the dialog is gone.
  }
}

void TFrmFR0010MN::MnuChangeNameClick() {
  CommitTitleEdit();
  const int row = LBGroup.ItemIndex();
  if (row < 0) return;
  try {
    TFrmFR0040CG dialog(model_);
    dialog.SetDataFolder(data_folder_);
    if (!dialog.Create(hwnd())) return;
    const std::string current = model_.GroupAt(static_cast<std::size_t>(row)).name;
    dialog.LblGroupName.SetCaption(current);
    dialog.EdtNewGroup.SetText(current);
    dialog.ShowModal();
    if (!dialog.Accepted) return;
    model_.RenameGroup(static_cast<std::size_t>(row), dialog.ResultName);
    // Answers for the old name are dropped: its untested paths go again.
    QueueMarkerTests(static_cast<std::size_t>(row), true);
    LBGroup.SetItem(row, dialog.ResultName);
    if (LBGroup.ItemIndex() != row) LBGroup.SetItemIndex(row);
  } catch (...) {
  }
}

void TFrmFR0010MN::MnuDeleteGroupClick() {
  CommitTitleEdit();
  const int row = LBGroup.ItemIndex();
  if (row < 0) return;
  const std::string name = model_.GroupAt(static_cast<std::size_t>(row)).name;
  // Joined, never formatted: the name is user text.
  const std::string question = name + " を" + "削除します。\r\n\r\nよろしいですか。";
  if (!Confirm(question)) return;
  // The lists go first; the grid repaints only after the current lists are
  // cleared, so it never paints from a released group.
  model_.DeleteGroup(static_cast<std::size_t>(row));
  LBGroup.DeleteItem(row);
  DGMain.SetEnabled(false);
  ResetGrid();
  DGMain.Repaint();
}

void TFrmFR0010MN::MnuAboutClick() { RunAboutBox(hwnd()); }

}  // namespace korvane
