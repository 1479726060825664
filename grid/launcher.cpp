#include "grid/launcher.h"

#include "common/FN0010GF.h"

namespace korvane {

namespace {
constexpr char kMissingFile[] = "ファイルが存在しません。";
constexpr char kLaunchFailed[] =
    "起動に失敗しました。\r\n\r\n関連付けられたアプリケーションが存在するか、確認してください。";
}  // namespace

void Launcher::MouseDown(int x, int y) {
  const int button_width = grid_.ColWidth(0);
  if (x < 0 || x > button_width) return;
  // The row at the pointer's height, found in the first pixel of column 1.
  const ui::GridCell cell = grid_.MouseToCell(button_width + 1, y);
  if (cell.col < 1 || cell.row < 1) return;
  grid_.SetRow(cell.row);
  marks_.pressed_row = cell.row;
  grid_.Repaint();
}

void Launcher::MouseUp(int x, int y) {
  if (marks_.pressed_row < 1) return;
  const int button_width = grid_.ColWidth(0);
  if (x >= 0 && x <= button_width && grid_.MouseToCell(button_width + 1, y).row == marks_.pressed_row) {
    LaunchPressed();
  }
  marks_.pressed_row = -1;
  grid_.Repaint();
}

void Launcher::CaptureLost() {
  if (marks_.pressed_row < 1) return;
  marks_.pressed_row = -1;
  grid_.Repaint();
}

void Launcher::LaunchRow(int row) {
  marks_.pressed_row = row;
  LaunchPressed();
  marks_.pressed_row = -1;
  grid_.Repaint();
}

void Launcher::LaunchPressed() {
  if (model_.CurrentRow() < 0 || marks_.pressed_row < 1) return;
  Launch(static_cast<std::size_t>(model_.CurrentRow()), static_cast<std::size_t>(marks_.pressed_row));
}

void Launcher::LaunchEntry(std::size_t group, std::size_t n) {
  if (group >= model_.GroupCount()) return;
  Launch(group, n);
  if (static_cast<int>(group) == model_.CurrentRow()) grid_.Repaint();
}

void Launcher::Launch(std::size_t row, std::size_t n) {
  const Group& group = model_.GroupAt(row);
  const Entry* entry = group.EntryAt(n);
  if (!entry) return;
  if (entry->path.empty()) {
    model_.SetMarkerOfPath(row, n, entry->path, PathMarker::NoPath);
    return;
  }
  // The test and the shell call may take seconds (a network share): they
  // run on a worker while the window goes on. A second press on the entry
  // meanwhile starts nothing.
  work_.Launch(group, row, n, owner_.hwnd(), [this](const LaunchOutcome& outcome) { Finish(outcome); });
}

void Launcher::Finish(const LaunchOutcome& outcome) {
  // The marker goes to the entry launched, if its group still holds that
  // path (it may have been renamed, deleted or edited meanwhile).
  const int now = work_.GroupRowNamed(outcome.group, outcome.row);
  const auto mark = [&](PathMarker marker) {
    if (now >= 0 && model_.SetMarkerOfPath(static_cast<std::size_t>(now), outcome.n, outcome.path, marker) &&
        now == model_.CurrentRow()) {
      grid_.Repaint();
    }
  };
  // The entry's button shows pressed while its box is up.
  const auto inform = [&](const char* text) {
    const int pressed = marks_.pressed_row;
    if (now >= 0 && now == model_.CurrentRow()) marks_.pressed_row = static_cast<int>(outcome.n);
    grid_.Repaint();
    ShowInformation(text);
    marks_.pressed_row = pressed;
    grid_.Repaint();
  };
  if (!outcome.exists) {
    mark(PathMarker::Missing);
    inform(kMissingFile);
    return;
  }
  if (outcome.result < 32) inform(kLaunchFailed);
  // The file was there: it is marked found whether the start worked or not.
  mark(PathMarker::Found);
}

}  // namespace korvane
