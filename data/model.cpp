#include "data/model.h"

#include <algorithm>

#include "common/text.h"
#include "data/os.h"

namespace korvane {

PathMarker MarkerFor(const std::string& path) {
  if (path.empty()) return PathMarker::NoPath;
  return os::FileExists(path) ? PathMarker::Found : PathMarker::Missing;
}

PathMarker UntestedMarker(const std::string& path) {
  return path.empty() ? PathMarker::NoPath : PathMarker::Untested;
}

std::string TitleFromPath(std::string_view path) {
  const std::size_t sep = LastPathSeparator(path);
  std::string_view name = sep == std::string_view::npos ? path : path.substr(sep + 1);
  // '.' is never a trail byte, so the last one found is a real dot.
  const std::size_t dot = name.rfind('.');
  if (dot != std::string_view::npos) name = name.substr(0, dot);
  return TruncateBytes(name, kTitleMaxBytes);
}

namespace {
std::string_view BaseOf(const EntryValues& base, std::size_t n, bool title) {
  if (n < 1 || n > base.size()) return {};
  return title ? base.Title(n - 1) : base.Path(n - 1);
}
using Values = std::pair<std::string_view, std::string_view>;
}  // namespace

EntryValues::EntryValues(const std::vector<Entry>& entries) {
  Assign(entries.size(), [&entries](std::size_t i) { return Values(entries[i].title, entries[i].path); });
}

void EntryValues::Adopt(std::size_t count, SharedBytes buffer, std::span<const std::size_t> ends) {
  const std::size_t head = HeadBytes(count);
  const std::size_t total = ends.size() == 2 * count && count != 0 ? ends.back() : 0;
  if (total == 0) {
    buffer = SharedBytes();
  } else {
    char* const data = buffer.data();
    for (std::size_t k = 0; k < 2 * count; ++k) {
      const auto offset = static_cast<std::uint32_t>(head + ends[k]);
      std::memcpy(data + k * sizeof offset, &offset, sizeof offset);
    }
    buffer.Shrink(head + total);
  }
  packed_ = std::move(buffer);
  count_ = count;
}

std::string_view EntryValues::Value(std::size_t k) const {
  if (!packed_ || k >= 2 * count_) return {};
  std::uint32_t begin = static_cast<std::uint32_t>(2 * count_ * sizeof begin), end = 0;
  if (k > 0) std::memcpy(&begin, packed_.data() + (k - 1) * sizeof begin, sizeof begin);
  std::memcpy(&end, packed_.data() + k * sizeof end, sizeof end);
  return std::string_view(packed_.data() + begin, end - begin);
}

std::vector<Entry>& EntryList::Items() const {
  if (!made_) {
    items_.resize(values_.size());
    for (std::size_t i = 0; i < items_.size(); ++i) {
      Entry& entry = items_[i];
      entry.title = values_.Title(i);
      entry.path = values_.Path(i);
      entry.marker = UntestedMarker(entry.path);
    }
    values_ = EntryValues();
    made_ = true;
  }
  return items_;
}

bool Group::TitleChanged(std::size_t n) const {
  return n >= 1 && n <= entries.size() && entries.Title(n - 1) != BaseOf(base, n, true);
}

bool Group::PathChanged(std::size_t n) const {
  return n >= 1 && n <= entries.size() && entries.Path(n - 1) != BaseOf(base, n, false);
}

bool Group::Edited() const {
  // Entries not made since they were read are their base.
  if (const EntryValues* values = entries.Unmade(); values && values->Shares(base)) return false;
  for (std::size_t n = 1; n <= entries.size(); ++n) {
    if (entries.Title(n - 1) != BaseOf(base, n, true) || entries.Path(n - 1) != BaseOf(base, n, false)) return true;
  }
  return false;
}

bool Group::ChangedHere() const { return source.empty() || !os::SameFileName(source, FileName()) || Edited(); }

LauncherModel::LauncherModel(std::size_t entry_count) : entry_count_(entry_count) {}

std::vector<std::string> LauncherModel::Names() const {
  std::vector<std::string> names;
  names.reserve(groups_.size());
  for (const Group& group : groups_) names.push_back(group.name);
  return names;
}

Group LauncherModel::NewGroup(std::string name) const {
  Group group;
  group.name = std::move(name);
  group.base = EntryValues(entry_count_);
  group.entries = EntryList(group.base);
  return group;
}

void LauncherModel::AddGroup(std::string name) {
  groups_.push_back(NewGroup(std::move(name)));
  Identify(groups_.back());
  modified_ = true;
}

int LauncherModel::RowOf(std::uint64_t id) const {
  for (std::size_t row = 0; row < groups_.size(); ++row)
    if (groups_[row].id == id) return static_cast<int>(row);
  return -1;
}

void LauncherModel::RecountModified() {
  modified_ = !removed_.empty() ||
              std::any_of(groups_.begin(), groups_.end(), [](const Group& group) { return group.ChangedHere(); });
}

int LauncherModel::FindGroup(std::string_view name) const {
  for (std::size_t i = 0; i < groups_.size(); ++i) {
    if (NamesEqualNoCase(groups_[i].name, name)) return static_cast<int>(i);
  }
  return -1;
}

void LauncherModel::SelectGroup(int row) {
  if (row >= 0 && static_cast<std::size_t>(row) < groups_.size()) current_ = row;
}

const Group* LauncherModel::Current() const {
  return current_ >= 0 ? &groups_[static_cast<std::size_t>(current_)] : nullptr;
}

void LauncherModel::RenameGroup(std::size_t row, std::string new_name) {
  if (row >= groups_.size()) return;
  Group& group = groups_[row];
  // Deleted once the group's file is written under the new name.
  removed_.push_back({group.name, group.extension});
  group.name = std::move(new_name);
  group.extension = std::string(kGroupExtension);
  modified_ = true;
}

void LauncherModel::DeleteGroup(std::size_t row) {
  if (row >= groups_.size()) return;
  removed_.push_back({groups_[row].name, groups_[row].extension});
  groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(row));
  current_ = -1;
  modified_ = true;
}

Group* LauncherModel::EditableCurrent(std::size_t n) {
  if (current_ < 0) return nullptr;
  Group& group = groups_[static_cast<std::size_t>(current_)];
  return group.EntryAt(n) ? &group : nullptr;
}

void LauncherModel::Changed(Group&, std::size_t, bool, bool) { modified_ = true; }

bool LauncherModel::SetTitle(std::size_t n, std::string text) {
  Group* group = EditableCurrent(n);
  if (!group) return false;
  group->EntryAt(n)->title = std::move(text);
  Changed(*group, n, true, false);
  return true;
}

bool LauncherModel::ClearTitle(std::size_t n) { return SetTitle(n, std::string()); }

bool LauncherModel::SetPath(std::size_t n, std::string file, bool test) {
  Group* group = EditableCurrent(n);
  if (!group) return false;
  Entry& entry = *group->EntryAt(n);
  entry.marker = test ? MarkerFor(file) : UntestedMarker(file);
  const bool titled = entry.title.empty();
  if (titled) entry.title = TitleFromPath(file);
  entry.path = std::move(file);
  Changed(*group, n, titled, true);
  return true;
}

bool LauncherModel::ClearPath(std::size_t n) {
  Group* group = EditableCurrent(n);
  if (!group) return false;
  Entry& entry = *group->EntryAt(n);
  entry.path.clear();
  entry.marker = PathMarker::NoPath;
  Changed(*group, n, false, true);
  return true;
}

bool LauncherModel::RefreshMarker(std::size_t n) {
  Group* group = EditableCurrent(n);
  if (!group) return false;
  Entry& entry = *group->EntryAt(n);
  entry.marker = MarkerFor(entry.path);
  return true;
}

bool LauncherModel::SetMarker(std::size_t n, PathMarker marker) {
  Group* group = EditableCurrent(n);
  if (!group) return false;
  group->EntryAt(n)->marker = marker;
  return true;
}

bool LauncherModel::SetMarkerOfPath(std::size_t row, std::size_t n, std::string_view path, PathMarker marker) {
  if (row >= groups_.size()) return false;
  Entry* entry = groups_[row].EntryAt(n);
  if (!entry || entry->path != path) return false;
  entry->marker = marker;
  return true;
}

void LauncherModel::Reset() {
  groups_.clear();
  removed_.clear();
  current_ = -1;
  modified_ = false;
}

void LauncherModel::AppendLoaded(Group group) {
  group.base = group.entries.Values();
  Identify(group);
  groups_.push_back(std::move(group));
}

std::vector<std::size_t> LauncherModel::MergeFileValues(std::size_t row, const EntryValues& values,
                                                        std::optional<os::FileStamp> stamp, bool saved) {
  std::vector<std::size_t> changed;
  if (row >= groups_.size()) return changed;
  Group& group = groups_[row];
  const std::size_t count = group.entries.size();
  const std::size_t merged = std::min(count, values.size());
  // Which values this run changed, as the base stood before the merge.
  std::vector<unsigned char> kept(2 * merged);
  for (std::size_t i = 0; i < merged; ++i) {
    kept[2 * i] = group.TitleChanged(i + 1);
    kept[2 * i + 1] = group.PathChanged(i + 1);
  }
  // A value under an open editor counts as changed here: its base stays
  // what the editor began with. Passed over, the file is read again later.
  bool held_back = false;
  if (held_ && held_->group == group.id && held_->n >= 1 && held_->n <= merged && !saved) {
    const std::size_t k = 2 * (held_->n - 1) + (held_->title ? 0 : 1);
    const std::string_view theirs = held_->title ? values.Title(held_->n - 1) : values.Path(held_->n - 1);
    if (!kept[k] && theirs != BaseOf(group.base, held_->n, held_->title)) held_back = true;
    kept[k] = 1;
  }
  MergeObserver* const observer = observer_ && observer_->Watches(group.id) ? observer_ : nullptr;
  group.base.Assign(count, [&](std::size_t i) {
    if (i >= merged) return Values(BaseOf(group.base, i + 1, true), BaseOf(group.base, i + 1, false));
    return Values(saved || !kept[2 * i] ? values.Title(i) : group.base.Title(i),
                  saved || !kept[2 * i + 1] ? values.Path(i) : group.base.Path(i));
  });
  for (std::size_t i = 0; i < merged; ++i) {
    Entry& entry = group.entries[i];
    const std::string_view title = values.Title(i), path = values.Path(i);
    bool differs = false;
    if (!kept[2 * i] && entry.title != title) {
      if (observer) observer->BaseMoved(group.id, i + 1, true);
      entry.title = title;
      differs = true;
    }
    if (!kept[2 * i + 1] && entry.path != path) {
      if (observer) observer->BaseMoved(group.id, i + 1, false);
      entry.path = path;
      entry.marker = UntestedMarker(entry.path);
      differs = true;
    }
    if (differs) changed.push_back(i + 1);
  }
  group.state = ReadState::Read;
  group.stamp = held_back ? std::nullopt : stamp;
  held_back_ = held_back_ || held_back;
  return changed;
}

std::vector<std::size_t> LauncherModel::TakeFirstRead(std::size_t row, EntryValues values,
                                                      std::optional<os::FileStamp> stamp) {
  std::vector<std::size_t> filled;
  if (row >= groups_.size() || values.size() != entry_count_) return filled;
  Group& group = groups_[row];
  if (observer_ && observer_->Watches(group.id)) {
    for (std::size_t n = 1; n <= values.size() && n <= group.entries.size(); ++n) {
      if (values.Title(n - 1) != group.entries.Title(n - 1)) observer_->BaseMoved(group.id, n, true);
      if (values.Path(n - 1) != group.entries.Path(n - 1)) observer_->BaseMoved(group.id, n, false);
    }
  }
  filled.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values.Title(i).empty() || !values.Path(i).empty()) filled.push_back(i + 1);
  group.base = values;
  group.entries = EntryList(std::move(values));
  group.state = ReadState::Read;
  group.stamp = stamp;
  return filled;
}

void LauncherModel::SetReadState(std::size_t row, ReadState state) {
  if (row < groups_.size()) groups_[row].state = state;
}

void LauncherModel::SetStamp(std::size_t row, std::optional<os::FileStamp> stamp) {
  if (row < groups_.size()) groups_[row].stamp = stamp;
}

void LauncherModel::AppendListed(std::string name, std::string extension) {
  Group group = NewGroup(std::move(name));
  group.extension = std::move(extension);
  group.source = group.FileName();
  group.state = ReadState::NotRead;
  Identify(group);
  groups_.push_back(std::move(group));
}

void LauncherModel::DropGroup(std::size_t row) {
  if (row >= groups_.size()) return;
  const std::uint64_t id = groups_[row].id;
  groups_.erase(groups_.begin() + static_cast<std::ptrdiff_t>(row));
  if (observer_) observer_->GroupDropped(id);
  const int dropped = static_cast<int>(row);
  if (current_ == dropped) current_ = -1;
  else if (current_ > dropped) --current_;
}

void LauncherModel::MarkSaved(std::size_t row) {
  if (row < groups_.size()) groups_[row].source = groups_[row].FileName();
}

void LauncherModel::HoldIn(std::size_t row, std::string name, std::string extension) {
  if (row >= groups_.size()) return;
  groups_[row].source = name + extension;
  removed_.push_back({std::move(name), std::move(extension)});
}

void LauncherModel::FreeGroups() {
  groups_.clear();
  groups_.shrink_to_fit();
  removed_.clear();
  removed_.shrink_to_fit();
  current_ = -1;
}

}  // namespace korvane
