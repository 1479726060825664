#pragma once
// Group selection in the group list, the group menu and its commands: new,
// rename, delete. None touches a file: the next save writes and deletes the
// group files. The main window owns it and calls it from its handlers.
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "common/callback.h"
#include "data/history.h"
#include "data/model.h"
#include "ui/drawgrid.h"
#include "ui/form.h"
#include "ui/list_box.h"
#include "ui/menu.h"

namespace korvane {

// The group menu's items.
enum GroupMenuId : UINT { kIdNewGroup = 201, kIdChangeName, kIdDeleteGroup };

class GroupCommander {
 public:
  // What it works on, all owned by the main window (`form`), which outlives
  // it. `commit_edit` commits an open title edit before a change of group
  // and before every command; `selected` is told the row of a group made
  // current, `renamed` the row of a group given a new name (its paths are
  // tested again under it).
  struct Parts {
    ui::Form& form;
    LauncherModel& model;
    History& history;  // every group command goes through it
    ui::ListBox& list;
    ui::DrawGrid& grid;
    const std::string& data_folder;
    Callback<void()> commit_edit;
    Callback<void(std::size_t row)> selected;
    Callback<void(std::size_t row)> renamed;
    // A one-line notice in the status bar: a command that found its group
    // gone (or its name taken) when its box closed did nothing.
    Callback<void(std::string_view text)> notice = {};
  };
  explicit GroupCommander(Parts parts) : p_(std::move(parts)) {}

  // The group clicked in the list becomes the current one.
  void SelectClicked();
  // The title cell of entry 1, scrolled to the top.
  void ResetGrid();
  // A right click on the list opens `menu` there, its commands enabled as
  // a group is selected or not.
  void ShowMenu(ui::PopupMenu& menu, const ui::MouseEvent& e);
  // Opens `menu` at a point of the list's client area.
  void OpenMenu(ui::PopupMenu& menu, POINT client);
  // The list's keys: Shift+F10 and the application key open `menu` at the
  // selected row, F2 renames, Delete deletes, Insert starts a new group.
  // True when the key was one of them.
  bool KeyDown(ui::PopupMenu& menu, WORD key, unsigned shift);
  // Each looks its group up again by identity once its box is closed (a
  // refresh may have added, dropped or reordered groups meanwhile) and acts
  // on the group the user was asked about, or on none, with a notice.
  void NewGroup();
  void RenameGroup();
  void DeleteGroup();
  // Appends a group to the model and the list; errors go to the warning box.
  void AddGroup(const std::string& name);
  // Undoes (redoes) the last change of entries or groups and shows its
  // result: the list's names, the group it changed selected, the entry it
  // changed current. False when there was nothing to undo (redo). A redo
  // whose group name was taken elsewhere meanwhile asks first.
  bool Undo();
  bool Redo();
  // Shows what an undo or a redo left; `before` names the group current
  // before it (empty for none).
  void Show(const Shown& shown, const std::string& before);

 private:
  Parts p_;
};

}  // namespace korvane
