#include "data/history.h"

#include <algorithm>

namespace korvane {

const char* StatusText(bool modified, bool saved) {
  if (modified) return kStatusUnsaved;
  return saved ? kStatusSaved : "";
}

const char* ChangeName(Change change) {
  switch (change) {
    case Change::Title: return "タイトルの変更";
    case Change::TitleCleared: return "タイトルの削除";
    case Change::Path: return "ファイルの変更";
    case Change::PathCleared: return "ファイルの削除";
    case Change::EntryDeleted: return "エントリの削除";
    case Change::Reorder: return "並べ替え";
    case Change::MoveToGroup: return "別の業務名への移動";
    case Change::CopyToGroup: return "別の業務名へのコピー";
    case Change::Cut: return "切り取り";
    case Change::Paste: return "貼り付け";
    case Change::NewGroup: return "業務名の新規追加";
    case Change::RenameGroup: return "業務名の変更";
    case Change::DeleteGroup: return "業務名の削除";
  }
  return "";
}

History::Step History::Begin(Change change, std::size_t entry,
                             const std::vector<std::pair<std::size_t, std::size_t>>& rows) const {
  Step step;
  step.change = change;
  step.entry = entry;
  step.entry_after = entry;
  step.current_before = model_.CurrentRow();
  step.modified_before = model_.Modified();
  for (const auto& [row, n] : rows) {
    if (row < model_.GroupCount() && model_.GroupAt(row).EntryAt(n))
      step.slots.push_back({row, n, model_.StateOf(row, n), {}});
  }
  return step;
}

void History::Finish(Step step) {
  bool changed = model_.Modified() != step.modified_before;
  for (Slot& slot : step.slots) {
    slot.after = model_.StateOf(slot.row, slot.n);
    changed = changed || slot.after != slot.before;
  }
  step.current_after = model_.CurrentRow();
  step.modified_after = model_.Modified();
  if (changed) Push(std::move(step));
}

void History::Push(Step step) {
  undo_.push_back(std::move(step));
  redo_.clear();
  Changed();
}

void History::Changed() {
  if (on_change) on_change();
}

bool History::SetTitle(std::size_t n, std::string text) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(Change::Title, n, {{row, n}});
  if (!model_.SetTitle(n, std::move(text))) return false;
  Finish(std::move(step));
  return true;
}

bool History::ClearTitle(std::size_t n) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(Change::TitleCleared, n, {{row, n}});
  if (!model_.ClearTitle(n)) return false;
  Finish(std::move(step));
  return true;
}

bool History::SetPath(std::size_t n, std::string file) {
  std::vector<std::pair<std::size_t, std::string>> one;
  one.emplace_back(n, std::move(file));
  return SetPaths(std::move(one)) == 1;
}

std::size_t History::SetPaths(std::vector<std::pair<std::size_t, std::string>> paths) {
  if (paths.empty()) return 0;
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  std::vector<std::pair<std::size_t, std::size_t>> rows;
  for (const auto& path : paths) rows.emplace_back(row, path.first);
  Step step = Begin(Change::Path, paths.front().first, rows);
  std::size_t set = 0;
  // The markers stay untested: the window tests them off its thread.
  for (auto& [n, file] : paths) {
    if (model_.SetPath(n, std::move(file), false)) ++set;
  }
  if (set > 0) Finish(std::move(step));
  return set;
}

bool History::ClearPath(std::size_t n) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(Change::PathCleared, n, {{row, n}});
  if (!model_.ClearPath(n)) return false;
  Finish(std::move(step));
  return true;
}

bool History::DeleteEntry(std::size_t n) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  const Group* group = model_.Current();
  const Entry* entry = group ? group->EntryAt(n) : nullptr;
  if (!entry || (entry->title.empty() && entry->path.empty())) return false;
  Step step = Begin(Change::EntryDeleted, n, {{row, n}});
  model_.ClearTitle(n);
  model_.ClearPath(n);
  Finish(std::move(step));
  return true;
}

bool History::MoveEntry(std::size_t from, std::size_t to) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  std::vector<std::pair<std::size_t, std::size_t>> rows;
  for (std::size_t k = std::min(from, to); k <= std::max(from, to) && k <= model_.EntryCount(); ++k)
    rows.emplace_back(row, k);
  Step step = Begin(Change::Reorder, from, rows);
  step.entry_after = to;
  if (!model_.MoveEntry(from, to)) return false;
  Finish(std::move(step));
  return true;
}

LauncherModel::TransferResult History::TransferEntry(std::size_t n, std::size_t row, bool copy) {
  const auto current = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(copy ? Change::CopyToGroup : Change::MoveToGroup, n,
                    {{current, n}, {row, model_.FirstEmptyEntry(row)}});
  const LauncherModel::TransferResult result = model_.TransferEntry(n, row, copy);
  if (result.outcome == LauncherModel::Transfer::Done) Finish(std::move(step));
  return result;
}

bool History::Copy(std::size_t n) {
  std::optional<Entry> entry = model_.EntryToCopy(n);
  if (!entry) return false;
  clipboard_ = std::move(entry);
  return true;
}

bool History::Cut(std::size_t n) {
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(Change::Cut, n, {{row, n}});
  std::optional<Entry> taken = model_.CutEntry(n);
  if (!taken) return false;
  clipboard_ = std::move(taken);
  Finish(std::move(step));
  return true;
}

LauncherModel::Paste History::Paste(std::size_t n, bool replace) {
  if (!clipboard_) return LauncherModel::Paste::Nothing;
  const auto row = static_cast<std::size_t>(model_.CurrentRow());
  Step step = Begin(Change::Paste, n, {{row, n}});
  const LauncherModel::Paste result = model_.PasteEntry(n, *clipboard_, replace);
  if (result == LauncherModel::Paste::Done) Finish(std::move(step));
  return result;
}

void History::AddGroup(std::string name) {
  Step step = Begin(Change::NewGroup, 0, {});
  step.edit = GroupEdit::Added;
  step.row = model_.GroupCount();
  step.removed_before = model_.Removed();
  model_.AddGroup(std::move(name));
  step.removed_after = model_.Removed();
  step.current_after = model_.CurrentRow();
  step.modified_after = model_.Modified();
  Push(std::move(step));
}

void History::RenameGroup(std::size_t row, std::string new_name) {
  if (row >= model_.GroupCount()) return;
  Step step = Begin(Change::RenameGroup, 0, {});
  step.edit = GroupEdit::Renamed;
  step.row = row;
  step.name_before = model_.GroupAt(row).name;
  step.extension_before = model_.GroupAt(row).extension;
  step.removed_before = model_.Removed();
  model_.RenameGroup(row, std::move(new_name));
  step.name_after = model_.GroupAt(row).name;
  step.extension_after = model_.GroupAt(row).extension;
  step.removed_after = model_.Removed();
  step.current_after = model_.CurrentRow();
  step.modified_after = model_.Modified();
  Push(std::move(step));
}

void History::DeleteGroup(std::size_t row) {
  if (row >= model_.GroupCount()) return;
  Step step = Begin(Change::DeleteGroup, 0, {});
  step.edit = GroupEdit::Deleted;
  step.row = row;
  step.group = model_.GroupAt(row);
  step.removed_before = model_.Removed();
  model_.DeleteGroup(row);
  step.removed_after = model_.Removed();
  step.current_after = model_.CurrentRow();
  step.modified_after = model_.Modified();
  Push(std::move(step));
}

std::string History::UndoCaption() const {
  std::string caption = kUndoCaption;
  if (!undo_.empty()) caption += std::string(" ") + ChangeName(undo_.back().change);
  return caption;
}

std::string History::RedoCaption() const {
  std::string caption = kRedoCaption;
  if (!redo_.empty()) caption += std::string(" ") + ChangeName(redo_.back().change);
  return caption;
}

// Puts the step's later states back (forward) or its earlier ones. A group
// out of the model is kept in the step as it left, markers and all.
Shown History::Apply(Step& step, bool forward) {
  Shown shown;
  if (forward) {
    for (const Slot& slot : step.slots) model_.RestoreState(slot.row, slot.n, slot.after);
  } else {
    for (auto slot = step.slots.rbegin(); slot != step.slots.rend(); ++slot)
      model_.RestoreState(slot->row, slot->n, slot->before);
  }
  bool group_back = false;
  switch (step.edit) {
    case GroupEdit::None:
      break;
    case GroupEdit::Added:
    case GroupEdit::Deleted:
      if (forward == (step.edit == GroupEdit::Added)) {
        model_.InsertGroup(step.row, std::move(step.group.value()));
        step.group.reset();
        group_back = true;
      } else {
        step.group = model_.TakeGroup(step.row);
      }
      break;
    case GroupEdit::Renamed:
      if (forward) model_.RestoreName(step.row, step.name_after, step.extension_after);
      else model_.RestoreName(step.row, step.name_before, step.extension_before);
      group_back = true;
      break;
  }
  if (step.edit != GroupEdit::None) model_.SetRemoved(forward ? step.removed_after : step.removed_before);
  model_.RestoreModified(forward ? step.modified_after : step.modified_before);
  model_.RestoreCurrent(forward ? step.current_after : step.current_before);

  shown.names_changed = step.edit != GroupEdit::None;
  shown.entry = forward ? step.entry_after : step.entry;
  if (group_back) shown.groups.push_back(step.row);
  for (const Slot& slot : step.slots) {
    if (std::find(shown.groups.begin(), shown.groups.end(), slot.row) == shown.groups.end())
      shown.groups.push_back(slot.row);
  }
  return shown;
}

std::optional<Shown> History::Undo() {
  if (undo_.empty()) return std::nullopt;
  Step step = std::move(undo_.back());
  undo_.pop_back();
  Shown shown = Apply(step, false);
  redo_.push_back(std::move(step));
  Changed();
  return shown;
}

std::optional<Shown> History::Redo() {
  if (redo_.empty()) return std::nullopt;
  Step step = std::move(redo_.back());
  redo_.pop_back();
  Shown shown = Apply(step, true);
  undo_.push_back(std::move(step));
  Changed();
  return shown;
}

void History::Clear() {
  undo_.clear();
  redo_.clear();
  Changed();
}

void History::GroupsRemoved(const std::vector<std::size_t>& rows) {
  if (!rows.empty()) Clear();
}

}  // namespace korvane
