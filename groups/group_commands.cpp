#include "groups/group_commands.h"

#include <exception>
#include <optional>
#include <string>

#include "common/FN0010GF.h"
#include "groups/FR0030NG.h"
#include "groups/FR0040CG.h"

namespace korvane {

namespace {
// Joined, never formatted: names are user text.
std::string GroupGone(const std::string& name) {
  return "業務「" + name + "」は他の場所で削除されたため、何も変更しませんでした";
}
std::string NameTaken(const std::string& name) {
  return "業務名「" + name + "」は他の場所で作られたため、何も変更しませんでした";
}
std::string RedoNameQuestion(const std::string& name) {
  return "業務名「" + name + "」は他の場所で作られました。\r\n\r\nやり直すと、他の場所の「" + name +
         "」は一覧から外れ、保存の時にそのファイルはごみ箱（またはそばのコピー）に残されます。\r\n\r\nよろしいですか。";
}
std::string RedoNameRefused(const std::string& name) {
  return "業務名「" + name + "」はこの実行で変更した別の業務が使っているため、やり直せません";
}
}  // namespace

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
    if (!dialog.Accepted) return;
    // A refresh during the dialog may have listed a group of that name.
    if (p_.model.FindGroup(dialog.ResultName) >= 0) {
      if (p_.notice) p_.notice(NameTaken(dialog.ResultName));
      return;
    }
    AddGroup(dialog.ResultName);
  } catch (...) {
    // Errors of the command end it without a message; the dialog is gone.
  }
}

void GroupCommander::RenameGroup() {
  p_.commit_edit();
  const int asked = p_.list.ItemIndex();
  if (asked < 0) return;
  try {
    TFrmFR0040CG dialog(p_.model);
    dialog.SetDataFolder(p_.data_folder);
    if (!dialog.Create(p_.form.hwnd())) return;
    const Group& group = p_.model.GroupAt(static_cast<std::size_t>(asked));
    const std::uint64_t id = group.id;
    const std::string current = group.name;
    dialog.LblGroupName.SetCaption(current);
    dialog.EdtNewGroup.SetText(current);
    dialog.ShowModal();
    if (!dialog.Accepted) return;
    // The refresh runs inside the dialog's loop: rows may have moved.
    const int row = p_.model.RowOf(id);
    if (row < 0) {
      if (p_.notice) p_.notice(GroupGone(current));
      return;
    }
    if (const int other = p_.model.FindGroup(dialog.ResultName); other >= 0 && other != row) {
      if (p_.notice) p_.notice(NameTaken(dialog.ResultName));
      return;
    }
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
  const int asked = p_.list.ItemIndex();
  if (asked < 0) return;
  const Group& group = p_.model.GroupAt(static_cast<std::size_t>(asked));
  const std::uint64_t id = group.id;
  const std::string name = group.name;
  // Joined, never formatted: the name is user text.
  const std::string question = name + " を" + "削除します。\r\n\r\nよろしいですか。";
  if (!Confirm(question)) return;
  // The refresh runs inside the box's loop: the group asked about is
  // looked up again, wherever it is now.
  const int row = p_.model.RowOf(id);
  if (row < 0) {
    if (p_.notice) p_.notice(GroupGone(name));
    return;
  }
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
  bool take_name = false;
  if (const int taken = p_.history.RedoNameTakenBy(); taken >= 0) {
    // A name clash, as a save meets it: the other place's group is given
    // up (its file kept aside at the save) only once the user agrees.
    const Group& other = p_.model.GroupAt(static_cast<std::size_t>(taken));
    const std::string name = other.name;
    if (other.ChangedHere()) {
      if (p_.notice) p_.notice(RedoNameRefused(name));
      return false;
    }
    const std::uint64_t id = other.id;
    if (!Confirm(RedoNameQuestion(name))) return false;
    // Asked again after the box: a refresh may have changed who holds it.
    const int now = p_.history.RedoNameTakenBy();
    if (now >= 0 && now != p_.model.RowOf(id)) return false;
    take_name = true;
  }
  const std::optional<Shown> shown = p_.history.Redo(take_name);
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
