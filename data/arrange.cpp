// Arranging entries: reordering within a group, moving and copying into
// another group, cut and paste; and the row-level access undo restores with.
#include <algorithm>

#include "data/model.h"

namespace korvane {
namespace {

bool Blank(const Entry& entry) { return entry.title.empty() && entry.path.empty(); }

}  // namespace

bool LauncherModel::Known(std::size_t row, std::size_t n) const {
  if (row >= groups_.size()) return false;
  const Group& group = groups_[row];
  if (!group.EntryAt(n)) return false;
  if (!group.Unread()) return true;
  return group.TitleChanged(n) && group.PathChanged(n);
}

bool LauncherModel::MoveEntry(std::size_t from, std::size_t to) {
  if (from == to || !EditableCurrent(from) || !EditableCurrent(to)) return false;
  const auto row = static_cast<std::size_t>(current_);
  Group& group = groups_[row];
  const std::size_t low = std::min(from, to);
  const std::size_t high = std::max(from, to);
  for (std::size_t k = low; k <= high; ++k) {
    if (!Known(row, k)) return false;
  }
  const std::vector<Entry> before(group.entries.begin() + static_cast<std::ptrdiff_t>(low - 1),
                                  group.entries.begin() + static_cast<std::ptrdiff_t>(high));
  const auto at = [&group](std::size_t n) { return group.entries.begin() + static_cast<std::ptrdiff_t>(n - 1); };
  if (from < to) std::rotate(at(from), at(from + 1), at(to + 1));
  else std::rotate(at(to), at(from), at(from + 1));
  for (std::size_t k = low; k <= high; ++k) {
    const Entry& old = before[k - low];
    const Entry& now = group.entries[k - 1];
    const bool title = old.title != now.title;
    const bool path = old.path != now.path;
    if (title || path) Changed(group, k, title, path);
  }
  return true;
}

std::size_t LauncherModel::FirstEmptyEntry(std::size_t row) const {
  if (row >= groups_.size()) return 0;
  const Group& group = groups_[row];
  for (std::size_t n = 1; n <= group.entries.size(); ++n) {
    if (Blank(group.entries[n - 1]) && Known(row, n)) return n;
  }
  return 0;
}

LauncherModel::TransferResult LauncherModel::TransferEntry(std::size_t n, std::size_t row, bool copy) {
  Group* source = EditableCurrent(n);
  if (!source || row >= groups_.size() || static_cast<int>(row) == current_) return {};
  if (Blank(*source->EntryAt(n)) || !Known(static_cast<std::size_t>(current_), n)) return {};
  const std::size_t k = FirstEmptyEntry(row);
  if (k == 0) return {Transfer::Full, 0};
  Group& target = groups_[row];
  Entry& entry = *source->EntryAt(n);
  *target.EntryAt(k) = entry;
  Changed(target, k, !entry.title.empty(), !entry.path.empty());
  if (!copy) {
    const bool title = !entry.title.empty();
    const bool path = !entry.path.empty();
    entry = Entry{};
    Changed(*source, n, title, path);
  }
  return {Transfer::Done, k};
}

std::optional<Entry> LauncherModel::EntryToCopy(std::size_t n) const {
  const Group* group = Current();
  const Entry* entry = group ? group->EntryAt(n) : nullptr;
  if (!entry || Blank(*entry)) return std::nullopt;
  return *entry;
}

std::optional<Entry> LauncherModel::CutEntry(std::size_t n) {
  Group* group = EditableCurrent(n);
  if (!group || Blank(*group->EntryAt(n))) return std::nullopt;
  Entry& entry = *group->EntryAt(n);
  Entry taken = std::move(entry);
  entry = Entry{};
  Changed(*group, n, !taken.title.empty(), !taken.path.empty());
  return taken;
}

LauncherModel::Paste LauncherModel::PasteEntry(std::size_t n, const Entry& clip, bool replace) {
  Group* group = EditableCurrent(n);
  if (!group || Blank(clip)) return Paste::Nothing;
  Entry& entry = *group->EntryAt(n);
  if (!Blank(entry) && !replace) return Paste::Ask;
  const bool title = entry.title != clip.title;
  const bool path = entry.path != clip.path;
  entry = clip;
  if (title || path) Changed(*group, n, title, path);
  return Paste::Done;
}

LauncherModel::EntryState LauncherModel::StateOf(std::size_t row, std::size_t n) const {
  const Group& group = groups_.at(row);
  EntryState state;
  state.entry = group.entries.at(n - 1);
  return state;
}

void LauncherModel::RestoreState(std::size_t row, std::size_t n, const EntryState& state) {
  Group& group = groups_.at(row);
  group.entries.at(n - 1) = state.entry;
}

void LauncherModel::InsertGroup(std::size_t row, Group group) {
  row = std::min(row, groups_.size());
  Identify(group);
  groups_.insert(groups_.begin() + static_cast<std::ptrdiff_t>(row), std::move(group));
  if (current_ >= static_cast<int>(row)) ++current_;
}

Group LauncherModel::TakeGroup(std::size_t row) {
  Group group = std::move(groups_.at(row));
  groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(row));
  if (current_ == static_cast<int>(row)) current_ = -1;
  else if (current_ > static_cast<int>(row)) --current_;
  return group;
}

void LauncherModel::RestoreName(std::size_t row, std::string name, std::string extension) {
  Group& group = groups_.at(row);
  group.name = std::move(name);
  group.extension = std::move(extension);
}

}  // namespace korvane
