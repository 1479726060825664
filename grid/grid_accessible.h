#pragma once
// The entry grid as a screen reader sees it (MSAA): a table named after the
// current group, with twenty rows, one per entry, each named
// 「3 見積書 C:\業務\見積書.xls」 and holding three cells: the launch button
// (a push button 「起動 3」 whose value is 「ファイルがありません」,
// 「未確認」 or nothing for a found file), the title (its name, or 「（空）」)
// and the file (the path as shown; its value the full path it opens). The
// current cell is selected, and focused while the grid has the focus; rows
// and cells report where they are on the screen, so a magnifier follows.
//
// The table answers for its rows' cells too (child ids CellId), so the
// events, raised on the table, name the very cell.
#include <windows.h>

#include <array>
#include <optional>
#include <string>

#include "common/callback.h"
#include "data/model.h"
#include "ui/accessible.h"
#include "ui/drawgrid.h"

namespace korvane {

class GridAccessible {
 public:
  struct Parts {
    const LauncherModel& model;
    ui::DrawGrid& grid;
    const int& mode;
    // Where relative paths are resolved: the full path a file cell gives.
    const std::string& exe_folder;
    // The launch button's action: launches entry `row` of the current
    // group later (a reader's call does not wait for what a launch shows).
    Callback<void(int row)> launch;
  };
  // Takes the grid's WM_GETOBJECT and its current-cell moves until it goes
  // (the grid may outlive it: its window can go after this object).
  explicit GridAccessible(const Parts& parts);
  ~GridAccessible();
  GridAccessible(const GridAccessible&) = delete;
  GridAccessible& operator=(const GridAccessible&) = delete;

  // After anything that may have changed what the grid shows (the current
  // cell, the grid's focus, the group, the mode, an entry or its marker):
  // raises the events for what differs from the last call: focus and
  // selection of the current cell, name and value changes of the rows and
  // cells that changed, a new table for another group.
  void Changed();

  static constexpr int kRows = static_cast<int>(kEntryCount);
  static constexpr int kCols = 3;
  // Child ids of the table: the rows 1..20 (objects of their own), the
  // cells CellId (col 0..2, row 1..20), which the rows call 1..3.
  static constexpr long kCellBase = 100;
  static constexpr long CellId(int col, int row) { return kCellBase + row * kCols + col; }

 private:
  struct RowShown {
    std::string title, path;
    PathMarker marker = PathMarker::NoPath;
    bool operator==(const RowShown&) const = default;
  };
  struct Shown {
    int group = -1;
    std::string group_name;
    int mode = -1;
    ui::GridCell current{-1, -1};
    bool focused = false;
    std::array<RowShown, kRows> rows;
  };
  Shown Now() const;

  Parts p_;
  Shown last_;
  ui::AccessibleSlot slot_;  // after p_: cut off before the parts go
};

}  // namespace korvane
