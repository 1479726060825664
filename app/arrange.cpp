// The main window's side of arranging entries and taking changes back: the
// edit menu's undo and redo, the group list's keys, and the status bar's
// word on unsaved changes. The work is done by the EntryArranger (grid/),
// the GroupCommander (groups/) and the History they share.
#include "app/FR0010MN.h"

namespace korvane {

void TFrmFR0010MN::SetUpArranging() {
  DGMain.on_mouse_move = [this](ui::MouseButton, ui::ShiftState s, int x, int y) { arranger_.MouseMove(s, x, y); };
  DGMain.on_sys_key_down = [this](WORD key, ui::ShiftState s) { return arranger_.SysKeyDown(key, s); };
  LBGroup.on_key_down = [this](WORD key, unsigned s) { return LBGroupKeyDown(key, s); };
  // Every change of entries or groups made here is a step of the history;
  // the find index follows them and the changes read from disk.
  history_.on_change = [this] {
    ShowUnsavedState();
    FindModelChanged();
    grid_access_.Changed();
  };
  sync_.on_model_changed = [this] {
    FindModelChanged();
    grid_access_.Changed();
  };
  // A merge that took away steps says so; a deleted group brought back is
  // read again.
  history_.on_steps_dropped = [this] { Notice(kStepsDropped); };
  history_.on_reread = [this] { sync_.Look(); };
  // The find index is built once every group is read, while the window
  // waits for input, so that the first Ctrl+F only brings it up to date.
  sync_.on_started = [this] { WarmFindIndex(); };
  // Groups whose files went elsewhere leave the list and take their own
  // steps with them (the model tells the history); the find index, which
  // knows groups by row, follows at once.
  sync_.on_groups_dropped = [this](const std::vector<std::size_t>&) { FindModelChanged(); };
  sync_.on_notice_gone = [this] { ShowUnsavedState(); };
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
