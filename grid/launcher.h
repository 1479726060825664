#pragma once
// Launching the current group's entries: the launch buttons of column 0 in
// both modes, and one row at a time for the double click, Enter and F2 in
// launcher mode. The test and the shell call run off the window's thread
// (BackgroundWork); the outcome is told and marked when it comes back.
#include <windows.h>

#include "data/model.h"
#include "grid/background.h"
#include "grid/painter.h"
#include "ui/drawgrid.h"
#include "ui/window.h"

namespace korvane {

class Launcher {
 public:
  // `owner`: the window the shell's own messages are owned by.
  Launcher(const ui::Window& owner, LauncherModel& model, ui::DrawGrid& grid, GridMarks& marks,
           BackgroundWork& work)
      : owner_(owner), model_(model), grid_(grid), marks_(marks), work_(work) {}

  // A press of a launch button shows it pressed; the release over the same
  // button launches its entry.
  void MouseDown(int x, int y);
  void MouseUp(int x, int y);
  // A press whose release will never come is forgotten.
  void CaptureLost();
  // Launches one row outside a button press.
  void LaunchRow(int row);
  // Launches entry n of the group at list row `group` (any group, as a
  // launch button of it would).
  void LaunchEntry(std::size_t group, std::size_t n);

 private:
  void LaunchPressed();
  void Launch(std::size_t group, std::size_t n);
  void Finish(const LaunchOutcome& outcome);

  const ui::Window& owner_;
  LauncherModel& model_;
  ui::DrawGrid& grid_;
  GridMarks& marks_;
  BackgroundWork& work_;
};

}  // namespace korvane
