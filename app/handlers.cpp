// The main window's handlers of the grid, the title editor, the group list,
// the group menu and the edit menu: each hands the work to the object that
// does it.
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
}

void TFrmFR0010MN::DGMainKeyDown(WORD key, ui::ShiftState shift) {
  if (UndoKey(key, shift) || arranger_.KeyDown(key, shift)) return;
  if (key == VK_RETURN || key == VK_F2) {
    const RECT r = DGMain.CellRect(DGMain.Col(), DGMain.Row());
    if (r.left == 0 && r.top == 0) return;  // scrolled out of view
    if (mode_ != kModeRegistration) return launcher_.LaunchRow(DGMain.Row());
    editor_.EditCell(DGMain.Col(), DGMain.Row());
    sync_.EditEnded();
    return;
  }
  if (key == VK_DELETE) editor_.ClearCurrentCell();
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
}

void TFrmFR0010MN::LBGroupClick() { groups_.SelectClicked(); }
void TFrmFR0010MN::LBGroupMouseDown(const ui::MouseEvent& e) { groups_.ShowMenu(*PpmGroup, e); }
// The group menu's, the context menu's and the group list's keys.
void TFrmFR0010MN::MnuNewGroupClick() { groups_.NewGroup(); }
void TFrmFR0010MN::MnuChangeNameClick() { groups_.RenameGroup(); }
void TFrmFR0010MN::MnuDeleteGroupClick() {
  groups_.DeleteGroup();
  work_.GroupsChanged();
}
void TFrmFR0010MN::MnuAboutClick() { RunAboutBox(hwnd()); }

void TFrmFR0010MN::FindShow(std::size_t group, std::size_t n) {
  if (group >= model_.GroupCount()) return;
  // As a click on the group: the edit committed, its paths tested first,
  // its icons asked anew, the grid reset and focused.
  LBGroup.SetItemIndex(static_cast<int>(group));
  LBGroupClick();
  DGMain.SetCol(1);
  DGMain.SetRow(static_cast<int>(n));
  SetForegroundWindow(hwnd());
  DGMain.SetFocus();
}

void TFrmFR0010MN::DGMainDropFiles(const std::vector<std::optional<std::string>>& names, POINT screen) {
  editor_.DropFiles(names, screen);
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

// Arranging entries and taking changes back: the edit menu's undo and
// redo, the group list's keys, and the status bar's word on unsaved
// changes. The work is done by the EntryArranger (grid/), the
// GroupCommander (groups/) and the History they share.
void TFrmFR0010MN::SetUpArranging() {
  DGMain.on_mouse_move = [this](ui::MouseButton, ui::ShiftState s, int x, int y) { arranger_.MouseMove(s, x, y); };
  DGMain.on_sys_key_down = [this](WORD key, ui::ShiftState s) { return arranger_.SysKeyDown(key, s); };
  LBGroup.on_key_down = [this](WORD key, unsigned s) { return LBGroupKeyDown(key, s); };
  // Every change of entries or groups made here is a step of the history;
  // the steps, the changes read from disk and the group selected are
  // announced once each, and what follows the model subscribes.
  using Kind = ModelChange::Kind;
  history_.on_change = [this] { changes_.Announce({Kind::Step, {}, {}}); };
  sync_.on_model_changed = [this] { changes_.Announce({Kind::Read, {}, {}}); };
  // Groups whose files went elsewhere leave the list and take their own
  // steps with them (the model tells the history); the find index, which
  // knows groups by row, follows at once.
  sync_.on_groups_dropped = [this](const std::vector<std::size_t>& rows) {
    changes_.Announce({Kind::GroupsLeft, rows, {}});
  };
  changes_.Subscribe([this](const ModelChange& c) {
    if (c.Is(Kind::Step)) ShowUnsavedState();
  });
  changes_.Subscribe([this](const ModelChange& c) {
    if (!c.Is(Kind::Selected)) find_.ModelChanged();
  });
  // The group shown: its paths tested first, the folder sync's wait on it.
  changes_.Subscribe([this](const ModelChange& c) {
    if (!c.Is(Kind::Selected) || c.groups.empty()) return;
    work_.GroupSelected(c.groups.front());
    sync_.Selected(c.groups.front());
  });
  changes_.Subscribe([this](const ModelChange& c) {
    if (!c.Is(Kind::GroupsLeft)) grid_access_.Changed();
  });
  // A merge that took away steps says so; a deleted group brought back is
  // read again.
  history_.on_steps_dropped = [this] { Notice(kStepsDropped); };
  history_.on_reread = [this] { sync_.Look(); };
  // The find index is built once every group is read, while the window
  // waits for input, so that the first Ctrl+F only brings it up to date.
  sync_.on_started = [this] { find_.Warm(); };
  sync_.on_notice_gone = [this] { ShowUnsavedState(); };
  sync_.saving = [this] { return saver_.Saving() || saver_.Late(); };
  // The history starts with the groups as loaded.
  history_.Clear();
}

// The items show Ctrl+Z and Ctrl+Y, but the keys are the grid's and the
// group list's (UndoKey), not accelerators: in the title editor they stay
// the edit box's own.
void TFrmFR0010MN::MnuUndoClick() { groups_.Undo(); }
void TFrmFR0010MN::MnuRedoClick() { groups_.Redo(); }

bool TFrmFR0010MN::UndoKey(WORD key, unsigned shift) {
  if ((shift & (ui::kShift | ui::kCtrl | ui::kAlt)) != ui::kCtrl) return false;
  if (key == 'Z') groups_.Undo();
  else if (key == 'Y') groups_.Redo();
  else return false;
  return true;
}

bool TFrmFR0010MN::LBGroupKeyDown(WORD key, unsigned shift) {
  // The group keys run the commands the menus run.
  if ((shift & (ui::kShift | ui::kCtrl | ui::kAlt)) == 0) {
    switch (key) {
      case VK_INSERT: MnuNewGroupClick(); return true;
      case VK_F2: MnuChangeNameClick(); return true;
      case VK_DELETE: MnuDeleteGroupClick(); return true;
      default: break;
    }
  }
  return UndoKey(key, shift) || groups_.KeyDown(*PpmGroup, key, shift);
}

void TFrmFR0010MN::ShowUnsavedState() {
  StbInfo.SetText(saver_.Saving() ? GroupSaver::kSavingText : StatusText(model_.Modified(), saved_));
  if (!MnuMain) return;
  MnuMain->SetCaption(kIdUndo, history_.UndoCaption());
  MnuMain->SetCaption(kIdRedo, history_.RedoCaption());
  MnuMain->SetEnabled(kIdUndo, history_.CanUndo());
  MnuMain->SetEnabled(kIdRedo, history_.CanRedo());
}

void TFrmFR0010MN::Saved() {
  // A save that failed somewhere leaves the flag set, and the text says so.
  if (!model_.Modified()) saved_ = true;
  history_.Clear();
}

}  // namespace korvane
