#include "groups/group_commands.h"

#include <exception>

#include "common/FN0010GF.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"

namespace korvane {

void GroupCommander::SelectClicked() {
  // A title edit still open belongs to the group it began in.
  p_.commit_edit();
  const int row = p_.list.ItemIndex();
  if (row < 0) return;
  p_.model.SelectGroup(row);
  // The group's paths are tested before the others'; its icons are asked
  // anew, in case its files changed.
  p_.selected(static_cast<std::size_t>(row));
  ResetGrid();
  p_.grid.SetEnabled(true);
  p_.grid.Repaint();
  p_.grid.SetFocus();
}

void GroupCommander::ResetGrid() {
  ui::DrawGrid& grid = p_.grid;
  if (grid.Col() != 1) grid.SetCol(1);
  if (grid.Row() != 1) grid.SetRow(1);
  if (grid.LeftCol() != 1) grid.SetLeftCol(1);
  if (grid.TopRow() != 1) grid.SetTopRow(1);
}

void GroupCommander::ShowMenu(ui::PopupMenu& menu, const ui::MouseEvent& e) {
  if (e.button != ui::MouseButton::Right) return;
  const bool selected = p_.list.ItemIndex() >= 0;
  menu.SetEnabled(kIdNewGroup, true);
  menu.SetEnabled(kIdChangeName, selected);
  menu.SetEnabled(kIdDeleteGroup, selected);
  POINT pt{e.x, e.y};
  ClientToScreen(p_.list.hwnd(), &pt);
  menu.Popup(p_.form.hwnd(), pt);
}

void GroupCommander::AddGroup(const std::string& name) {
  try {
    p_.model.AddGroup(name);
    p_.list.AddItem(name);
  } catch (const std::exception& e) {
    ShowWarning(e.what());
  }
}

void GroupCommander::NewGroup() {
  p_.commit_edit();
  try {
    TFrmFR0030NG dialog(p_.model);
    dialog.SetDataFolder(p_.data_folder);
    if (!dialog.Create(p_.form.hwnd())) return;
    dialog.ShowModal();
    if (dialog.Accepted) AddGroup(dialog.ResultName);
  } catch (...) {
    // Errors of the command end it without a message; the dialog is gone.
  }
}

void GroupCommander::RenameGroup() {
  p_.commit_edit();
  const int row = p_.list.ItemIndex();
  if (row < 0) return;
  try {
    TFrmFR0040CG dialog(p_.model);
    dialog.SetDataFolder(p_.data_folder);
    if (!dialog.Create(p_.form.hwnd())) return;
    const std::string current = p_.model.GroupAt(static_cast<std::size_t>(row)).name;
    dialog.LblGroupName.SetCaption(current);
    dialog.EdtNewGroup.SetText(current);
    dialog.ShowModal();
    if (!dialog.Accepted) return;
    p_.model.RenameGroup(static_cast<std::size_t>(row), dialog.ResultName);
    // Answers for the old name are dropped: its untested paths go again.
    p_.renamed(static_cast<std::size_t>(row));
    p_.list.SetItem(row, dialog.ResultName);
    if (p_.list.ItemIndex() != row) p_.list.SetItemIndex(row);
  } catch (...) {
  }
}

void GroupCommander::DeleteGroup() {
  p_.commit_edit();
  const int row = p_.list.ItemIndex();
  if (row < 0) return;
  const std::string name = p_.model.GroupAt(static_cast<std::size_t>(row)).name;
  // Joined, never formatted: the name is user text.
  const std::string question = name + " を" + "削除します。\r\n\r\nよろしいですか。";
  if (!Confirm(question)) return;
  // The lists go first; the grid repaints only after the current lists are
  // cleared, so it never paints from a released group.
  p_.model.DeleteGroup(static_cast<std::size_t>(row));
  p_.list.DeleteItem(row);
  p_.grid.SetEnabled(false);
  ResetGrid();
  p_.grid.Repaint();
}

}  // namespace korvane
