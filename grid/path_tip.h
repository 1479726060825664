#pragma once
// The full path of an entry as a tooltip over the grid: over the path cell
// when the path runs out of its plate, and over the title cell in launcher
// mode, where the path column is hidden. The cells are painted as ever;
// the tip only watches the pointer over the grid.
#include <windows.h>

#include <string>

#include "data/model.h"
#include "grid/painter.h"
#include "ui/drawgrid.h"
#include "ui/spot_tip.h"

namespace korvane {

class PathTip {
 public:
  // All owned by the main window, which outlives the tip; `mode` is the
  // window's mode value.
  PathTip(const LauncherModel& model, ui::DrawGrid& grid, const GridPainter& painter, const int& mode)
      : model_(model), grid_(grid), painter_(painter), mode_(mode) {}

  // Starts watching the grid (once it exists).
  bool Attach() {
    return tip_.Attach(grid_.hwnd(), [this](POINT p, RECT* spot) { return TextAt(p, spot); });
  }
  void Detach() { tip_.Detach(); }

  // The path the tip holds for a grid client point (empty: none), and the
  // cell it holds for.
  std::string TextAt(POINT point, RECT* spot) const;
  const ui::SpotTip& tip() const { return tip_; }
  ui::SpotTip& tip() { return tip_; }

 private:
  const LauncherModel& model_;
  ui::DrawGrid& grid_;
  const GridPainter& painter_;
  const int& mode_;
  ui::SpotTip tip_;
};

}  // namespace korvane
