#include "data/history.h"

#include <algorithm>
#include <iterator>

#include "common/text.h"

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

History::History(LauncherModel& model) : model_(model) { model_.SetMergeObserver(this); }

History::~History() { model_.SetMergeObserver(nullptr); }

std::uint64_t History::CurrentId() const {
  const Group* group = model_.Current();
  return group ? group->id : 0;
}

History::Step History::Begin(Change change, std::size_t entry,
                             const std::vector<std::pair<std::size_t, std::size_t>>& rows) const {
  Step step;
  step.change = change;
  step.entry = entry;
  step.entry_after = entry;
  step.current_before = CurrentId();
  step.modified_before = model_.Modified();
  for (const auto& [row, n] : rows) {
    if (row >= model_.GroupCount()) continue;
    const Group& group = model_.GroupAt(row);
    const Entry* e = group.EntryAt(n);
    if (!e) continue;
    Slot slot;
    slot.group = group.id;
    slot.n = n;
    slot.title_before = e->title;
    slot.path_before = e->path;
    slot.marker_before = e->marker;
    step.slots.push_back(std::move(slot));
  }
  return step;
}

void History::Finish(Step step) {
  bool changed = model_.Modified() != step.modified_before;
  std::vector<Slot> kept;
  for (Slot& slot : step.slots) {
    const int row = model_.RowOf(slot.group);
    const Entry* e = row >= 0 ? model_.GroupAt(static_cast<std::size_t>(row)).EntryAt(slot.n) : nullptr;
    if (!e) continue;
    slot.title = e->title != slot.title_before;
    slot.path = e->path != slot.path_before || e->marker != slot.marker_before;
    if (!slot.title && !slot.path) continue;
    // Only what changed is held: a value the step never touched is the
    // file's to change meanwhile.
    if (slot.title) slot.title_after = e->title;
    else slot.title_before.clear();
    if (slot.path) {
      slot.path_after = e->path;
      slot.marker_after = e->marker;
    } else {
      slot.path_before.clear();
    }
    kept.push_back(std::move(slot));
  }
  changed = changed || !kept.empty();
  step.slots = std::move(kept);
  step.current_after = CurrentId();
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
  model_.AddGroup(std::move(name));
  step.group = model_.GroupAt(step.row).id;
  step.current_after = CurrentId();
  Push(std::move(step));
}

void History::RenameGroup(std::size_t row, std::string new_name) {
  if (row >= model_.GroupCount()) return;
  Step step = Begin(Change::RenameGroup, 0, {});
  step.edit = GroupEdit::Renamed;
  step.row = row;
  step.group = model_.GroupAt(row).id;
  step.name_before = model_.GroupAt(row).name;
  step.extension_before = model_.GroupAt(row).extension;
  const std::size_t removed = model_.Removed().size();
  model_.RenameGroup(row, std::move(new_name));
  if (model_.Removed().size() > removed) step.removed = model_.Removed().back();
  step.name_after = model_.GroupAt(row).name;
  step.extension_after = model_.GroupAt(row).extension;
  step.current_after = CurrentId();
  Push(std::move(step));
}

void History::DeleteGroup(std::size_t row) {
  if (row >= model_.GroupCount()) return;
  Step step = Begin(Change::DeleteGroup, 0, {});
  step.edit = GroupEdit::Deleted;
  step.row = row;
  step.group = model_.GroupAt(row).id;
  step.held = model_.GroupAt(row);
  const std::size_t removed = model_.Removed().size();
  model_.DeleteGroup(row);
  if (model_.Removed().size() > removed) step.removed = model_.Removed().back();
  step.current_after = CurrentId();
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

namespace {

void PutValues(LauncherModel& model, std::size_t row, std::size_t n, const std::string* title, const std::string* path,
               PathMarker marker) {
  LauncherModel::EntryState state = model.StateOf(row, n);
  if (title) state.entry.title = *title;
  if (path) {
    state.entry.path = *path;
    state.entry.marker = marker;
  }
  model.RestoreState(row, n, state);
}

}  // namespace

// Puts the step's later values back (forward) or its earlier ones. A group
// out of the model is kept in the step as it left, markers and all.
Shown History::Apply(Step& step, bool forward) {
  Shown shown;
  const auto put = [this, forward](const Slot& slot) {
    const int row = model_.RowOf(slot.group);
    if (row < 0 || !model_.GroupAt(static_cast<std::size_t>(row)).EntryAt(slot.n)) return;
    PutValues(model_, static_cast<std::size_t>(row), slot.n,
              slot.title ? (forward ? &slot.title_after : &slot.title_before) : nullptr,
              slot.path ? (forward ? &slot.path_after : &slot.path_before) : nullptr,
              forward ? slot.marker_after : slot.marker_before);
  };
  if (forward) {
    for (const Slot& slot : step.slots) put(slot);
  } else {
    for (auto slot = step.slots.rbegin(); slot != step.slots.rend(); ++slot) put(*slot);
  }
  bool group_back = false;
  switch (step.edit) {
    case GroupEdit::None:
      break;
    case GroupEdit::Added:
    case GroupEdit::Deleted:
      if (forward == (step.edit == GroupEdit::Added)) {
        const std::size_t row = std::min(step.row, model_.GroupCount());
        model_.InsertGroup(row, std::move(step.held.value()));
        step.held.reset();
        group_back = true;
        if (step.edit == GroupEdit::Deleted && !model_.GroupAt(row).source.empty()) {
          // Its file may have changed while it was out: read again.
          model_.SetStamp(row, std::nullopt);
          if (on_reread) on_reread();
        }
      } else if (const int row = model_.RowOf(step.group); row >= 0) {
        step.held = model_.TakeGroup(static_cast<std::size_t>(row));
      }
      break;
    case GroupEdit::Renamed:
      if (const int row = model_.RowOf(step.group); row >= 0) {
        if (forward) model_.RestoreName(static_cast<std::size_t>(row), step.name_after, step.extension_after);
        else model_.RestoreName(static_cast<std::size_t>(row), step.name_before, step.extension_before);
        group_back = true;
      }
      break;
  }
  if (step.removed) {
    std::vector<RemovedGroup> removed = model_.Removed();
    if (forward) {
      removed.push_back(*step.removed);
    } else {
      for (auto it = removed.rbegin(); it != removed.rend(); ++it) {
        if (it->name == step.removed->name && it->extension == step.removed->extension) {
          removed.erase(std::next(it).base());
          break;
        }
      }
    }
    model_.SetRemoved(std::move(removed));
  }
  model_.RestoreCurrent(model_.RowOf(forward ? step.current_after : step.current_before));
  model_.RecountModified();

  shown.names_changed = step.edit != GroupEdit::None;
  shown.entry = forward ? step.entry_after : step.entry;
  if (group_back) {
    if (const int row = model_.RowOf(step.group); row >= 0) shown.groups.push_back(static_cast<std::size_t>(row));
  }
  for (const Slot& slot : step.slots) {
    const int row = model_.RowOf(slot.group);
    if (row < 0) continue;
    const auto r = static_cast<std::size_t>(row);
    if (std::find(shown.groups.begin(), shown.groups.end(), r) == shown.groups.end()) shown.groups.push_back(r);
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

int History::RedoNameTakenBy() const {
  if (redo_.empty()) return -1;
  const Step& step = redo_.back();
  std::string_view name;
  if (step.edit == GroupEdit::Added && step.held) name = step.held->name;
  else if (step.edit == GroupEdit::Renamed) name = step.name_after;
  else return -1;
  for (std::size_t row = 0; row < model_.GroupCount(); ++row) {
    const Group& group = model_.GroupAt(row);
    if (group.id != step.group && NamesEqualNoCase(group.name, name)) return static_cast<int>(row);
  }
  return -1;
}

std::optional<Shown> History::Redo(bool take_name) {
  if (redo_.empty()) return std::nullopt;
  if (const int taken = RedoNameTakenBy(); taken >= 0) {
    // The other group goes only when asked, and never with a change of
    // this run in it.
    if (!take_name || model_.GroupAt(static_cast<std::size_t>(taken)).ChangedHere()) return std::nullopt;
    model_.DropGroup(static_cast<std::size_t>(taken));
  }
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

template <class Holds>
bool History::DropSteps(Holds holds) {
  const auto before = undo_.size() + redo_.size();
  std::erase_if(undo_, holds);
  std::erase_if(redo_, holds);
  return undo_.size() + redo_.size() != before;
}

bool History::Watches(std::uint64_t group) const {
  const auto holds = [group](const Step& step) {
    if (step.group == group) return true;
    return std::any_of(step.slots.begin(), step.slots.end(), [group](const Slot& slot) { return slot.group == group; });
  };
  return std::any_of(undo_.begin(), undo_.end(), holds) || std::any_of(redo_.begin(), redo_.end(), holds);
}

void History::BaseMoved(std::uint64_t group, std::size_t n, bool title) {
  // Every step that holds the value would, undone or redone, put back a
  // value over the one just taken from the file.
  const bool dropped = DropSteps([&](const Step& step) {
    return std::any_of(step.slots.begin(), step.slots.end(), [&](const Slot& slot) {
      return slot.group == group && slot.n == n && (title ? slot.title : slot.path);
    });
  });
  if (!dropped) return;
  Changed();
  if (on_steps_dropped) on_steps_dropped();
}

void History::GroupDropped(std::uint64_t group) {
  // Only this group's steps go: the others name their groups by identity.
  if (DropSteps([&](const Step& step) {
        return step.group == group ||
               std::any_of(step.slots.begin(), step.slots.end(), [&](const Slot& slot) { return slot.group == group; });
      }))
    Changed();
}

}  // namespace korvane
