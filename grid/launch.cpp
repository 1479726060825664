// Launching entries: the launch buttons in both modes; double click, Enter
// and F2 in launcher mode.
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
  if (!os::FileExists(path)) {
    model_.SetMarker(n, PathMarker::Missing);
    ShowInformation(kMissingFile);
    return;
  }
  const auto result = reinterpret_cast<UINT_PTR>(Seam().OpenWithShell(hwnd(), "OPEN", path, "", "", SW_SHOW));
  if (result < 32) ShowInformation(kLaunchFailed);
  // The file was there: it is marked found whether the start worked or not.
  model_.SetMarker(n, PathMarker::Found);
}

}  // namespace korvane
