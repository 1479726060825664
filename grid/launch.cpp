// Launching entries: the launch buttons in both modes; double click, Enter
// and F2 in launcher mode.
#include <algorithm>
#include <utility>

#include "app/FR0010MN.h"
#include "common/FN0010GF.h"
#include "common/seam.h"
#include "data/os.h"

namespace korvane {

namespace {
constexpr char kMissingFile[] = "ファイルが存在しません。";
constexpr char kLaunchFailed[] =
    "起動に失敗しました。\r\n\r\n関連付けられたアプリケーションが存在するか、確認してください。";
}  // namespace

void TFrmFR0010MN::DGMainMouseDown(ui::MouseButton, ui::ShiftState, int x, int y) {
  const int button_width = DGMain.ColWidth(0);
  if (x < 0 || x > button_width) return;
  // The row at the pointer's height, found in the first pixel of column 1.
  const ui::GridCell cell = DGMain.MouseToCell(button_width + 1, y);
  if (cell.col < 1 || cell.row < 1) return;
  DGMain.SetRow(cell.row);
  marks_.pressed_row = cell.row;
  DGMain.Repaint();
}

void TFrmFR0010MN::DGMainMouseUp(ui::MouseButton, ui::ShiftState, int x, int y) {
  if (marks_.pressed_row < 1) return;
  const int button_width = DGMain.ColWidth(0);
  if (x >= 0 && x <= button_width && DGMain.MouseToCell(button_width + 1, y).row == marks_.pressed_row) {
    LaunchEntry();
  }
  marks_.pressed_row = -1;
  DGMain.Repaint();
}

// A press whose release will never come is forgotten, and the button drawn
// raised again.
void TFrmFR0010MN::DGMainCaptureLost() {
  if (marks_.pressed_row < 1) return;
  marks_.pressed_row = -1;
  DGMain.Repaint();
}

void TFrmFR0010MN::LaunchRow(int row) {
  marks_.pressed_row = row;
  LaunchEntry();
  marks_.pressed_row = -1;
  DGMain.Repaint();
}

void TFrmFR0010MN::LaunchEntry() {
  const Group* group = model_.Current();
  const auto n = static_cast<std::size_t>(marks_.pressed_row);
  const Entry* entry = group ? group->EntryAt(n) : nullptr;
  if (!entry) return;
  const std::string path = entry->path;
  if (path.empty()) {
    model_.SetMarker(n, PathMarker::NoPath);
    return;
  }
  // The test and the shell call may take seconds (a network share): they
  // run on a worker while the window goes on. A second press on the entry
  // meanwhile starts nothing.
  const auto key = std::make_pair(group->name, n);
  if (!launch_queue_ || std::find(launching_.begin(), launching_.end(), key) != launching_.end()) return;
  launching_.push_back(key);
  if (ui::Application* app = ui::Application::Current()) app->SetScreenCursor(ui::ScreenCursor::HourGlass);
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  launch_queue_->Post(path, [this, name = group->name, row, n, path, owner = hwnd()](const BackgroundQueue::Reply& reply) {
    const bool exists = os::FileExists(path);
    const UINT_PTR result =
        exists ? reinterpret_cast<UINT_PTR>(Seam().OpenWithShell(owner, "OPEN", path, "", "", SW_SHOW)) : 0;
    reply([this, name, row, n, path, exists, result] { FinishLaunch(name, row, n, path, exists, result); });
  });
}

void TFrmFR0010MN::FinishLaunch(const std::string& group, std::size_t row, std::size_t n, const std::string& path,
                                bool exists, UINT_PTR result) {
  launching_.erase(std::find(launching_.begin(), launching_.end(), std::make_pair(group, n)));
  if (launching_.empty()) {
    if (ui::Application* app = ui::Application::Current()) app->SetScreenCursor(ui::ScreenCursor::Default);
  }
  // The marker goes to the entry launched, if its group still holds that
  // path (it may have been renamed, deleted or edited meanwhile).
  const int now = GroupRowNamed(group, row);
  const auto mark = [&](PathMarker marker) {
    if (now >= 0 && model_.SetMarkerOfPath(static_cast<std::size_t>(now), n, path, marker) &&
        now == model_.CurrentRow()) {
      DGMain.Repaint();
    }
  };
  // The entry's button shows pressed while its box is up.
  const auto inform = [&](const char* text) {
    const int pressed = marks_.pressed_row;
    if (now >= 0 && now == model_.CurrentRow()) marks_.pressed_row = static_cast<int>(n);
    DGMain.Repaint();
    ShowInformation(text);
    marks_.pressed_row = pressed;
    DGMain.Repaint();
  };
  if (!exists) {
    mark(PathMarker::Missing);
    inform(kMissingFile);
    return;
  }
  if (result < 32) inform(kLaunchFailed);
  // The file was there: it is marked found whether the start worked or not.
  mark(PathMarker::Found);
}

}  // namespace korvane
