#pragma once
// Putting the current group's entries in another order or into another
// group: an entry dragged by its title or path cell onto another row (an
// insertion mark shows where it goes) or onto a group of the group list
// (moved into its first empty row, Ctrl held: copied); Alt+Up / Alt+Down;
// cut, copy and paste (Ctrl+X / C / V); and the entry menu of the right
// button, which holds them all with Delete and the delete of the whole
// entry. Copy and cut put the entry's path on the Windows clipboard too; a
// paste takes a file list or paths copied elsewhere as a drop would. Every change goes through the
// window's History, so each can be undone. The main window owns it and
// calls it from the grid's handlers.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/callback.h"
#include "data/history.h"
#include "data/model.h"
#include "ui/drawgrid.h"
#include "ui/form.h"
#include "ui/list_box.h"
#include "ui/menu.h"

namespace korvane {

// The entry menu's items.
// The edit menu of the menu bar holds kIdCut to kIdDeleteWhole too.
enum EntryMenuId : UINT { kIdMoveUp = 301, kIdMoveDown, kIdCut, kIdCopy, kIdPaste, kIdDeleteEntry, kIdDeleteWhole };

// The information box of a move or copy to a group with no empty row.
std::string GroupFullText(std::string_view group, bool copy);
// The question before a paste over a filled row.
inline constexpr char kReplaceQuestion[] = "この行にはすでに登録されています。\r\n\r\n置き換えてもよろしいですか。";

class EntryArranger {
 public:
  // What it works on, all owned by the main window (`form`), which outlives
  // it. `commit_edit` commits an open title edit before a command;
  // `clear_cell` is the Delete key's action on the current cell;
  // `test_paths` is told the row of a group whose entries moved: a path
  // whose test had not answered is asked again at its new row.
  struct Parts {
    ui::Form& form;
    LauncherModel& model;
    History& history;
    ui::DrawGrid& grid;
    ui::ListBox& groups;
    const int& mode;
    Callback<void()> commit_edit;
    Callback<void()> clear_cell;
    Callback<void(std::size_t row)> test_paths;
    // Files or paths from the Windows clipboard for a row (EntryEditor::PasteFiles).
    Callback<void(const std::vector<std::optional<std::string>>& names, int row, bool typed)> paste_files;
    // A line for the status bar: where a moved or copied entry went.
    Callback<void(std::string_view text)> notice;
  };
  explicit EntryArranger(Parts parts);
  ~EntryArranger();
  EntryArranger(const EntryArranger&) = delete;
  EntryArranger& operator=(const EntryArranger&) = delete;

  // The grid's mouse: a left press on a title or path cell in registration
  // mode may become a drag once the pointer leaves the system's drag
  // rectangle; a release of the right button over an entry row opens the
  // entry menu there.
  void MouseDown(ui::MouseButton button, ui::ShiftState shift, int x, int y);
  void MouseMove(ui::ShiftState shift, int x, int y);
  void MouseUp(ui::MouseButton button, ui::ShiftState shift, int x, int y);
  // The capture went elsewhere: a drag under way ends without a change.
  void CaptureLost();
  // Keys of the grid (Ctrl+X/C/V, the application key, Escape during a
  // drag) and its Alt keys (Alt+Up/Down, Shift+F10): true when used.
  bool KeyDown(WORD key, ui::ShiftState shift);
  bool SysKeyDown(WORD key, ui::ShiftState shift);

  // The commands, on the current row of the grid.
  void MoveBy(int rows);
  void Cut();
  void Copy();
  void Paste();
  // Title and path of the current row, one step to undo.
  void DeleteEntry();
  // Enables the items of the entry commands (of the entry menu or the
  // menu bar's edit menu) as the current row allows.
  void EnableItems(ui::Menu& menu) const;
  // Entry n of the current group into the group at row (the group list's
  // row), moved or copied; a full group is told and nothing changes.
  void Transfer(std::size_t n, std::size_t row, bool copy);
  // Opens the entry menu at a point of the grid's client area.
  void ShowMenu(POINT client);

  // Paints the insertion mark over a cell the grid has just painted.
  void DrawMark(HDC dc, int col, int row, const RECT& rect) const;
  // Frames the group list's row a release would move the entry into.
  void DrawGroupMark(HDC dc, int row, const RECT& rect) const;

  // The state of a drag, for the painting and the tests: the row pressed
  // (0 when none), whether it is a drag yet, and where a release would put
  // it (a grid row, or a group list row; 0 / -1 when nowhere).
  int PressedRow() const { return press_row_; }
  bool Dragging() const { return dragging_; }
  int TargetRow() const { return target_row_; }
  int TargetGroup() const { return target_group_; }
  ui::PopupMenu& Menu() { return *menu_; }

 private:
  void Track(int x, int y);
  void EndDrag();
  void Moved(std::size_t row);
  void Tell(std::string_view text) const;
  // The target group row of the list marked or unmarked while dragging.
  void MarkGroup(int row);

  Parts p_;
  std::unique_ptr<ui::PopupMenu> menu_;
  int press_row_ = 0;
  POINT press_{};
  bool dragging_ = false;
  int target_row_ = 0;
  int target_group_ = -1;
  std::uint64_t target_id_ = 0;   // the group at target_group_: a refresh may move its row before the release
};

}  // namespace korvane
