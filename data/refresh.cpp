#include "data/refresh.h"

#include <algorithm>
#include <exception>
#include <unordered_map>
#include <unordered_set>

namespace korvane {

namespace {

// Group rows by the exact spelling of their files; other spellings of the
// same file (another case on Windows) are looked for only when this misses.
std::unordered_map<std::string, std::size_t> RowsBySource(const LauncherModel& model) {
  std::unordered_map<std::string, std::size_t> rows;
  for (std::size_t row = 0; row < model.GroupCount(); ++row) {
    const Group& group = model.GroupAt(row);
    if (!group.source.empty()) rows.emplace(group.source, row);
  }
  return rows;
}

int FindRow(const LauncherModel& model, const std::unordered_map<std::string, std::size_t>& rows,
            const std::string& file_name) {
  if (const auto it = rows.find(file_name); it != rows.end()) return static_cast<int>(it->second);
  for (std::size_t row = 0; row < model.GroupCount(); ++row) {
    const std::string& source = model.GroupAt(row).source;
    if (!source.empty() && os::SameFileName(source, file_name)) return static_cast<int>(row);
  }
  return -1;
}

// A group of this run (new or renamed) or a deletion of this run uses the
// name: the file is not taken for a group of its own.
bool ClaimedHere(const LauncherModel& model, const std::string& file_name) {
  for (const Group& group : model.Groups())
    if (os::SameFileName(group.FileName(), file_name)) return true;
  for (const RemovedGroup& removed : model.Removed())
    if (os::SameFileName(removed.FileName(), file_name)) return true;
  return false;
}

}  // namespace

int RowOfSource(const LauncherModel& model, const std::string& file_name, std::size_t hint) {
  if (hint < model.GroupCount() && model.GroupAt(hint).source == file_name) return static_cast<int>(hint);
  // One look-up: a scan costs less than building the map.
  for (std::size_t row = 0; row < model.GroupCount(); ++row)
    if (model.GroupAt(row).source == file_name) return static_cast<int>(row);
  return FindRow(model, {}, file_name);
}

std::optional<FolderListing> ListGroupFiles(const std::string& folder, std::uint64_t epoch, bool stamps) {
  try {
    std::optional<std::vector<os::DirEntry>> entries = os::ListFolder(folder, nullptr, stamps);
    if (!entries) return std::nullopt;
    return GroupFilesOf(folder, std::move(*entries), epoch);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

std::optional<FolderListing> GroupFilesOf(const std::string& folder, std::vector<os::DirEntry> entries,
                                          std::uint64_t epoch) {
  try {
    FolderListing listing;
    listing.epoch = epoch;
    for (os::DirEntry& entry : entries) {
      if (entry.is_folder || !IsGroupFileName(entry.name)) continue;
      if (!entry.exact || !os::PathFits(os::JoinPath(folder, entry.name))) {
        listing.left_alone.push_back(LeftAloneMessage(os::JoinPath(folder, entry.name)));
        continue;
      }
      listing.files.push_back({std::move(entry.name), entry.stamp});
    }
    return listing;
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

ListingApplied ApplyListing(LauncherModel& model, const FolderListing& listing) {
  ListingApplied applied;
  if (listing.epoch != model.DiskEpoch()) {
    applied.stale = true;
    return applied;
  }
  const auto rows = RowsBySource(model);
  std::vector<bool> listed(model.GroupCount(), false);
  std::vector<const ListedFile*> fresh;
  for (const ListedFile& file : listing.files) {
    const int row = FindRow(model, rows, file.file_name);
    if (row >= 0) listed[static_cast<std::size_t>(row)] = true;
    else if (!ClaimedHere(model, file.file_name)) fresh.push_back(&file);
  }
  // Dropped from the end, so the rows still to look at keep their places.
  const int current = model.CurrentRow();
  for (std::size_t row = listed.size(); row-- > 0;) {
    const Group& group = model.GroupAt(row);
    if (listed[row] || group.source.empty() || group.ChangedHere()) continue;
    applied.dropped.insert(applied.dropped.begin(), group.name);
    if (static_cast<int>(row) == current) applied.current_dropped = true;
    model.DropGroup(row);
  }
  model.Reserve(model.GroupCount() + fresh.size());
  for (const ListedFile* file : fresh) {
    const std::string name = GroupNameOf(file->file_name);
    model.AppendListed(name, file->file_name.substr(name.size()));
    ++applied.appended;
  }
  return applied;
}

std::vector<std::string> FilesToRead(const LauncherModel& model, const FolderListing& listing) {
  const auto rows = RowsBySource(model);
  std::vector<std::pair<std::size_t, std::string>> wanted;
  for (const ListedFile& file : listing.files) {
    const int row = FindRow(model, rows, file.file_name);
    if (row < 0) continue;
    const Group& group = model.GroupAt(static_cast<std::size_t>(row));
    if (group.state != ReadState::Read || !group.stamp || !(*group.stamp == file.stamp))
      wanted.emplace_back(static_cast<std::size_t>(row), group.source);
  }
  std::sort(wanted.begin(), wanted.end());
  std::vector<std::string> files;
  for (auto& [row, name] : wanted) files.push_back(std::move(name));
  return files;
}

std::vector<std::string> UnreadFiles(const LauncherModel& model) {
  std::vector<std::string> files;
  for (const Group& group : model.Groups())
    if (group.state == ReadState::NotRead) files.push_back(group.source);
  return files;
}

GroupSnapshot ReadGroupSnapshot(const std::string& folder, const std::string& file_name, std::size_t entry_count,
                                std::uint64_t epoch) {
  GroupSnapshot snapshot;
  snapshot.epoch = epoch;
  snapshot.file_name = file_name;
  try {
    os::FileStamp stamp;
    snapshot.outcome = ReadGroupFile(os::JoinPath(folder, file_name), entry_count, snapshot.values, &stamp);
    if (snapshot.outcome == ReadOutcome::Read) snapshot.stamp = stamp;
  } catch (const std::exception&) {
    snapshot.outcome = ReadOutcome::Unreadable;
  }
  if (snapshot.outcome != ReadOutcome::Read) snapshot.values = EntryValues(entry_count);
  return snapshot;
}

SnapshotApplied ApplySnapshot(LauncherModel& model, GroupSnapshot&& snapshot, std::size_t hint) {
  const int row = RowOfSource(model, snapshot.file_name, hint);
  // A first read takes the values over without copying them, unless the
  // user already typed into the group: then the values merge, the user's
  // kept.
  if (row >= 0 && snapshot.outcome == ReadOutcome::Read &&
      model.GroupAt(static_cast<std::size_t>(row)).state == ReadState::NotRead &&
      !model.GroupAt(static_cast<std::size_t>(row)).Edited() &&
      snapshot.epoch >= model.GroupAt(static_cast<std::size_t>(row)).written_epoch) {
    SnapshotApplied applied;
    applied.row = row;
    applied.first_read = true;
    applied.entries = model.TakeFirstRead(static_cast<std::size_t>(row), std::move(snapshot.values), snapshot.stamp);
    return applied;
  }
  return ApplySnapshot(model, static_cast<const GroupSnapshot&>(snapshot), row < 0 ? kNoRow : static_cast<std::size_t>(row));
}

SnapshotApplied ApplySnapshot(LauncherModel& model, const GroupSnapshot& snapshot, std::size_t hint) {
  SnapshotApplied applied;
  const int row = RowOfSource(model, snapshot.file_name, hint);
  if (row < 0 || snapshot.outcome == ReadOutcome::Missing) return applied;
  const std::size_t r = static_cast<std::size_t>(row);
  const Group& group = model.GroupAt(r);
  // Read before a save wrote the file: what it read is older than the file.
  if (snapshot.epoch < group.written_epoch) return applied;
  applied.row = row;
  applied.first_read = group.state == ReadState::NotRead;
  if (snapshot.outcome == ReadOutcome::Unreadable) {
    applied.unreadable = true;
    if (group.state == ReadState::NotRead) model.SetReadState(r, ReadState::Unreadable);
    model.SetStamp(r, std::nullopt);   // tried again at the next refresh
    return applied;
  }
  if (group.state == ReadState::Read && group.stamp && snapshot.stamp && *group.stamp == *snapshot.stamp)
    return applied;
  applied.entries = model.MergeFileValues(r, snapshot.values, snapshot.stamp, false);
  return applied;
}

}  // namespace korvane
