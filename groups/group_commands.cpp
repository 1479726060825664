#include "groups/group_commands.h"

#include <exception>
#include <optional>
#include <string>

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
  OpenMenu(menu, POINT{e.x, e.y});
}

void GroupCommander::OpenMenu(ui::PopupMenu& menu, POINT client) {
  const bool selected = p_.list.ItemIndex() >= 0;
  menu.SetEnabled(kIdNewGroup, true);
  menu.SetEnabled(kIdChangeName, selected);
  menu.SetEnabled(kIdDeleteGroup, selected);
  ClientToScreen(p_.list.hwnd(), &client);
  menu.Popup(p_.form.hwnd(), client);
}

bool GroupCommander::KeyDown(ui::PopupMenu& menu, WORD key, unsigned shift) {
  const unsigned mods = shift & (ui::kShift | ui::kCtrl | ui::kAlt);
  if ((key == VK_APPS && mods == 0) || (key == VK_F10 && mods == ui::kShift)) {
    // At the selected row, or the list's top when none is.
    POINT at{8, 8};
    const int row = p_.list.ItemIndex();
    if (row >= 0) {
      const RECT r = p_.list.ItemRect(row);
      at = POINT{r.left + 8, r.bottom - 2};
    }
    OpenMenu(menu, at);
    return true;
  }
  if (mods != 0) return false;
  switch (key) {
    case VK_F2: RenameGroup(); return true;
    case VK_DELETE: DeleteGroup(); return true;
    case VK_INSERT: NewGroup(); return true;
    default: return false;
  }
}

void GroupCommander::AddGroup(const std::string& name) {
  try {
    p_.history.AddGroup(name);
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
    p_.history.RenameGroup(static_cast<std::size_t>(row), dialog.ResultName);
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
  p_.history.DeleteGroup(static_cast<std::size_t>(row));
  p_.list.DeleteItem(row);
  p_.grid.SetEnabled(false);
  ResetGrid();
  p_.grid.Repaint();
}

namespace {
std::string CurrentName(const LauncherModel& model) {
  const Group* group = model.Current();
  return group ? group->name : std::string();
}
}  // namespace

bool GroupCommander::Undo() {
  p_.commit_edit();
  const std::string before = CurrentName(p_.model);
  const std::optional<Shown> shown = p_.history.Undo();
  if (shown) Show(*shown, before);
  return shown.has_value();
}

bool GroupCommander::Redo() {
  p_.commit_edit();
  const std::string before = CurrentName(p_.model);
  const std::optional<Shown> shown = p_.history.Redo();
  if (shown) Show(*shown, before);
  return shown.has_value();
}

void GroupCommander::Show(const Shown& shown, const std::string& before) {
  ui::ListBox& list = p_.list;
  ui::DrawGrid& grid = p_.grid;
  if (shown.names_changed) list.SetCount(static_cast<int>(p_.model.GroupCount()));
  const int row = p_.model.CurrentRow();
  if (list.ItemIndex() != row) list.SetItemIndex(row);
  // Answers of path tests for the groups whose entries came back (their
  // untested paths are tested again).
  for (const std::size_t changed : shown.groups) {
    if (static_cast<int>(changed) != row) p_.renamed(changed);
  }
  if (row < 0) {
    // No group current: the grid shows none, as after a deletion.
    grid.SetEnabled(false);
    ResetGrid();
    grid.Repaint();
    return;
  }
  const bool other_group = CurrentName(p_.model) != before || shown.names_changed;
  if (other_group) {
    p_.selected(static_cast<std::size_t>(row));
    ResetGrid();
  } else {
    p_.renamed(static_cast<std::size_t>(row));
  }
  grid.SetEnabled(true);
  if (shown.entry >= 1 && static_cast<int>(shown.entry) != grid.Row()) grid.SetRow(static_cast<int>(shown.entry));
  grid.Repaint();
}

}  // namespace korvane
