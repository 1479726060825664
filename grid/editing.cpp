// Registration mode: the mode switch, the title editor over the title cell,
// the path chosen in the open-file dialog, and the Delete key. Launcher-mode
// double click and keys launch.
#include "app/FR0010MN.h"
#include "common/text.h"
#include "data/settings.h"
#include "grid/columns.h"

namespace korvane {

namespace {
constexpr int kEditorHeight = 20;
}  // namespace

void TFrmFR0010MN::SpbInputClick(bool input_button) {
  mode_ = input_button ? kModeRegistration : kModeLauncher;
  ResizeColumns();
}

bool TFrmFR0010MN::DGMainSelectCell(int col, int) { return !(mode_ != kModeRegistration && col == 2); }

void TFrmFR0010MN::DGMainDblClick() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(DGMain.hwnd(), &pt);
  const ui::GridCell cell = DGMain.MouseToCell(pt.x, pt.y);
  if (cell.col < 1 || cell.row < 1) return;
  if (mode_ != kModeRegistration) {
    LaunchRow(cell.row);
    return;
  }
  marks_.edit_row = cell.row;
  marks_.title_editing = cell.col == 1;
  DGMain.Repaint();
  target_row_ = cell.row;
  if (cell.col == 1) BeginTitleEdit(cell.col, cell.row);
  else SelectPath();
}

void TFrmFR0010MN::DGMainKeyDown(WORD key, ui::ShiftState) {
  if (key == VK_RETURN || key == VK_F2) {
    const RECT r = DGMain.CellRect(DGMain.Col(), DGMain.Row());
    if (r.left == 0 && r.top == 0) return;  // scrolled out of view
    if (mode_ != kModeRegistration) {
      LaunchRow(DGMain.Row());
      return;
    }
    target_row_ = marks_.edit_row = DGMain.Row();
    marks_.title_editing = DGMain.Col() == 1;
    DGMain.Repaint();
    if (marks_.title_editing) BeginTitleEdit(DGMain.Col(), DGMain.Row());
    else SelectPath();
    return;
  }
  if (key == VK_DELETE) {
    if (DGMain.Col() < 1 || DGMain.Row() < 1) return;
    const auto n = static_cast<std::size_t>(DGMain.Row());
    if (DGMain.Col() == 1) model_.ClearTitle(n);
    else model_.ClearPath(n);
    DGMain.Repaint();
  }
}

void TFrmFR0010MN::BeginTitleEdit(int col, int row) {
  const RECT cell = DGMain.CellRect(col, row);
  const ui::Bounds grid = ui::BoundsOf(DGMain.hwnd());
  ui::Bounds b;
  b.x = grid.x + cell.left + 20;
  b.y = grid.y + cell.top + (cell.bottom - cell.top - kEditorHeight) / 2 + 4;
  b.width = TitleEditorWidth(cell.right - cell.left);
  b.height = kEditorHeight;
  ui::SetBounds(EdtTitle.hwnd(), b);
  const Group* group = model_.Current();
  const Entry* entry = group ? group->EntryAt(static_cast<std::size_t>(row)) : nullptr;
  EdtTitle.SetText(entry ? entry->title : std::string());
  EdtTitle.SetModified(false);
  // Its place in the z-order, above the grid, is its place in the tab
  // order too: the grid follows it, so Enter and Tab lead back there.
  ui::SetVisible(EdtTitle.hwnd(), true);
  FocusControl(EdtTitle.hwnd());
  EdtTitle.SelectAll();
}

void TFrmFR0010MN::EdtTitleKeyPress(unsigned& key) {
  if (key != '\r') return;
  key = 0;
  // The focus goes on in tab order: from the editor to the grid.
  SendMessageA(hwnd(), WM_NEXTDLGCTL, 0, 0);
}

void TFrmFR0010MN::EdtTitleExit() {
  if (!marks_.title_editing) return;
  if (EdtTitle.Modified() && model_.Current() && target_row_ >= 1) {
    model_.SetTitle(static_cast<std::size_t>(target_row_), TruncateBytes(EdtTitle.Text(), kTitleMaxBytes));
  }
  marks_.edit_row = -1;
  target_row_ = -1;
  marks_.title_editing = false;
  EdtTitle.SetText("");
  ui::SetVisible(EdtTitle.hwnd(), false);
  DGMain.Repaint();
}

void TFrmFR0010MN::CommitTitleEdit() {
  if (!marks_.title_editing) return;
  // The editor may still hold the focus (the speed buttons take none): it
  // goes to the grid, as after Enter, and the editor's exit commits. Hiding
  // the focused editor first would hand the focus to the first control in
  // tab order, the group list.
  if (GetFocus() == EdtTitle.hwnd()) {
    if (DGMain.Enabled()) DGMain.SetFocus();
    else SetFocus(hwnd());
  }
  if (marks_.title_editing) EdtTitleExit();
}

void TFrmFR0010MN::SelectPath() {
  const Group* group = model_.Current();
  const auto n = static_cast<std::size_t>(target_row_);
  if (const Entry* entry = group ? group->EntryAt(n) : nullptr) {
    OpdPath.file_name = entry->path;
    if (OpdPath.Execute(hwnd())) {
      model_.SetPath(n, OpdPath.file_name);
    } else {
      // Tested again, off the window's thread.
      model_.SetMarker(n, UntestedMarker(entry->path));
      QueueMarkerTests(static_cast<std::size_t>(model_.CurrentRow()), true, n);
    }
  }
  marks_.edit_row = -1;
  target_row_ = -1;
  DGMain.Repaint();
}

}  // namespace korvane
