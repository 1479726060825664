#pragma once
// Registration mode's editing of the current group's entries: the title
// editor laid over a title cell, the path chosen in the open-file dialog,
// the Delete key, and files dropped on a row. The main window owns it and
// calls it from its handlers.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/callback.h"
#include "data/history.h"
#include "data/model.h"
#include "grid/background.h"
#include "grid/painter.h"
#include "ui/drawgrid.h"
#include "ui/edit.h"
#include "ui/form.h"
#include "ui/open_dialog.h"

namespace korvane {

class EntryEditor {
 public:
  // What it works on, all owned by the main window (`form`), which outlives it.
  struct Parts {
    ui::Form& form;
    LauncherModel& model;
    History& history;  // every change of an entry goes through it
    ui::DrawGrid& grid;
    ui::Edit& title_editor;
    ui::OpenFileDialog& path_dialog;
    GridMarks& marks;
    BackgroundWork& work;
    const int& mode;
    // A one-line notice in the status bar.
    Callback<void(std::string_view text)> notice = {};
  };
  explicit EntryEditor(const Parts& parts) : p_(parts) {}

  // The grid's columns for the current mode and width; the title editor's
  // width follows the title column.
  void FitColumns();
  // Starts editing a cell: the title editor over column 1, the open-file
  // dialog for column 2.
  void EditCell(int col, int row);
  // Lays the title editor over the title cell and gives it the focus.
  void BeginTitleEdit(int col, int row);
  // Enter in the title editor moves the focus on, to the grid.
  void TitleKeyPress(unsigned& key);
  // The editor lost the focus: its text goes into the entry if changed.
  void TitleExit();
  // An open title edit is committed (before save, close, group changes and
  // commands, a launch).
  void CommitTitleEdit();
  // The open-file dialog for the entry at the target row.
  void SelectPath();
  // Delete: the current cell's title or path is cleared.
  void ClearCurrentCell();
  // The row the edit began in (TargetRow), -1 when none.
  int TargetRow() const { return target_row_; }

  // The entry row under a screen point; 0 the header, -1 off the rows.
  int DropRow(POINT screen) const;
  // Whether files dropped at the point would be registered.
  bool AcceptsDrop(POINT screen) const;
  // Registers dropped files from the row at the point on, or tells why
  // not: every file that can be registered is, and one box names the
  // others (folders, names too long or not spelled, no empty row left),
  // each with its reason.
  void DropFiles(const std::vector<std::optional<std::string>>& names, POINT screen);
  // Files pasted on entry row `row`, by the rules of a drop; typed: names
  // read from text, each of which must be a full path.
  void PasteFiles(const std::vector<std::optional<std::string>>& names, int row, bool typed);

 private:
  // The rules of a drop from the row on: folders (looked for off the
  // window's thread) and unusable names refused and named in one box.
  void RegisterFiles(const std::vector<std::optional<std::string>>& names, int row, bool typed);
  // Sets dropped files from the row on; gives how many of the first found
  // a row (the others found none).
  std::size_t RegisterDropped(const std::vector<std::string>& names, int row);
  // One information box naming every name with a reason, none without.
  void ReportRefused(const std::vector<std::optional<std::string>>& names, const std::vector<std::string>& reasons);

  Parts p_;
  int target_row_ = -1;
};

}  // namespace korvane
