// The main window's handlers of the grid, the title editor, the group list
// and the group menu: each hands the work to the object that does it.
#include "about/FR0020AB.h"
#include "app/FR0010MN.h"
#include "data/settings.h"

namespace korvane {

void TFrmFR0010MN::DGMainDrawCell(HDC dc, int col, int row, const RECT& rect, ui::CellState state) {
  CellState s;
  s.selected = (state & ui::kCellSelected) != 0;
  s.focused = (state & ui::kCellFocused) != 0;
  s.fixed = (state & ui::kCellFixed) != 0;
  painter_.DrawCell(dc, col, row, rect, s, model_.Current(), marks_);
  arranger_.DrawMark(dc, col, row, rect);
}

void TFrmFR0010MN::LBGroupDrawItem(const ui::DrawItemEvent& e) {
  const auto& groups = model_.Groups();
  if (e.index < 0 || static_cast<std::size_t>(e.index) >= groups.size()) return;
  painter_.DrawGroupRow(e.dc, e.rect, e.index, groups[static_cast<std::size_t>(e.index)].name, e.selected);
  arranger_.DrawGroupMark(e.dc, e.index, e.rect);
}

// The toolbar's two buttons and the mode menu's items. An open title edit
// stays open across the switch; only its width follows.
void TFrmFR0010MN::SpbInputClick(bool input_button) {
  mode_ = input_button ? kModeRegistration : kModeLauncher;
  (input_button ? SpbInput : SpbRun).SetDown(true);
  ResizeColumns();
  grid_access_.Changed();
}

bool TFrmFR0010MN::DGMainSelectCell(int col, int) { return !(mode_ != kModeRegistration && col == 2); }

void TFrmFR0010MN::DGMainDblClick() {
  POINT pt{};
  GetCursorPos(&pt);
  ScreenToClient(DGMain.hwnd(), &pt);
  const ui::GridCell cell = DGMain.MouseToCell(pt.x, pt.y);
  if (cell.col < 1 || cell.row < 1) return;
  if (mode_ != kModeRegistration) return launcher_.LaunchRow(cell.row);
  editor_.EditCell(cell.col, cell.row);
  sync_.EditEnded();   // the path dialog is closed; the title editor may be open
  FindModelChanged();
}

void TFrmFR0010MN::DGMainKeyDown(WORD key, ui::ShiftState shift) {
  if (UndoKey(key, shift) || arranger_.KeyDown(key, shift)) return;
  if (key == VK_RETURN || key == VK_F2) {
    const RECT r = DGMain.CellRect(DGMain.Col(), DGMain.Row());
    if (r.left == 0 && r.top == 0) return;  // scrolled out of view
    if (mode_ != kModeRegistration) return launcher_.LaunchRow(DGMain.Row());
    editor_.EditCell(DGMain.Col(), DGMain.Row());
    sync_.EditEnded();
    FindModelChanged();
    return;
  }
  if (key == VK_DELETE) {
    editor_.ClearCurrentCell();
    FindModelChanged();
  }
}

void TFrmFR0010MN::DGMainMouseDown(ui::MouseButton b, ui::ShiftState s, int x, int y) {
  launcher_.MouseDown(x, y);
  arranger_.MouseDown(b, s, x, y);
}
void TFrmFR0010MN::DGMainMouseUp(ui::MouseButton b, ui::ShiftState s, int x, int y) {
  launcher_.MouseUp(x, y);
  arranger_.MouseUp(b, s, x, y);
}
void TFrmFR0010MN::DGMainCaptureLost() {
  launcher_.CaptureLost();
  arranger_.CaptureLost();
}

void TFrmFR0010MN::EdtTitleKeyPress(unsigned& key) { editor_.TitleKeyPress(key); }
void TFrmFR0010MN::EdtTitleExit() {
  editor_.TitleExit();
  sync_.EditEnded();
  FindModelChanged();
}

void TFrmFR0010MN::LBGroupClick() { groups_.SelectClicked(); }
void TFrmFR0010MN::LBGroupMouseDown(const ui::MouseEvent& e) { groups_.ShowMenu(*PpmGroup, e); }
void TFrmFR0010MN::MnuNewGroupClick() {
  groups_.NewGroup();
  FindModelChanged();
}
void TFrmFR0010MN::MnuChangeNameClick() {
  groups_.RenameGroup();
  FindModelChanged();
}
void TFrmFR0010MN::MnuDeleteGroupClick() {
  groups_.DeleteGroup();
  work_.GroupsChanged();
  FindModelChanged();
}
void TFrmFR0010MN::MnuAboutClick() { RunAboutBox(hwnd()); }

void TFrmFR0010MN::DGMainDropFiles(const std::vector<std::optional<std::string>>& names, POINT screen) {
  editor_.DropFiles(names, screen);
  FindModelChanged();
}

void TFrmFR0010MN::RegisterDropTarget() {
  drop_target_ = ui::ComRef<FileDropTarget>::Adopt(FileDropTarget::Make());
  drop_target_->accepts = [this](POINT screen) { return editor_.AcceptsDrop(screen); };
  // Handled once the drag is over, as the answers of the work off the
  // window's thread are: a box shown inside Drop would hold the program
  // the files came from until it is closed.
  drop_target_->dropped = [this](const std::vector<std::optional<std::string>>& names, POINT screen) {
    work_.Send([this, names, screen] {
      if (!names.empty()) DGMainDropFiles(names, screen);
    });
  };
  drop_registration_.Register(DGMain.hwnd(), drop_target_.get());
}

void TFrmFR0010MN::ReleaseDropTarget() {
  drop_registration_.Revoke();
  if (!drop_target_) return;
  // OLE may hold references of its own a while longer.
  drop_target_->accepts = nullptr;
  drop_target_->dropped = nullptr;
  drop_target_.reset();
}

}  // namespace korvane
