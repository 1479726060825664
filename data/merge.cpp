#include "data/merge.h"

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "data/ini.h"

namespace korvane {

namespace {

using Values = std::pair<std::string_view, std::string_view>;

constexpr std::string_view kTitleKey = "TITLE";
constexpr std::string_view kPathKey = "PATH";

std::string_view BaseOf(const EntryValues& base, std::size_t n, bool title) {
  if (n < 1 || n > base.size()) return {};
  return title ? base.Title(n - 1) : base.Path(n - 1);
}

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

// Splices into doc the values this run changed (every value when whole),
// noting a clash where the file's value also moved away from the base.
void SpliceChanges(IniDocument& doc, const Group& group, bool whole, std::vector<std::string>& clashes) {
  const std::size_t count = group.entries.size();
  const EntryValues now = whole ? EntryValues(count) : GroupFileValues(doc.Bytes(), count).value_or(EntryValues(count));
  for (std::size_t n = 1; n <= count; ++n) {
    const std::string section = EntrySection(n, count);
    const std::string_view mine_title = group.entries.Title(n - 1), mine_path = group.entries.Path(n - 1);
    const std::string_view base_title = group.base.Title(n - 1), base_path = group.base.Path(n - 1);
    const std::string_view their_title = now.Title(n - 1), their_path = now.Path(n - 1);
    const bool title = group.TitleChanged(n), path = group.PathChanged(n);
    const bool title_clash = !whole && title && their_title != base_title && their_title != mine_title;
    const bool path_clash = !whole && path && their_path != base_path && their_path != mine_path;
    if (title_clash || path_clash) clashes.push_back(ClashEntryMessage(group.name, n, title_clash, path_clash));
    if (whole || title) doc.Set(section, kTitleKey, mine_title);
    if (whole || path) doc.Set(section, kPathKey, mine_path);
  }
}

}  // namespace

std::vector<std::size_t> MergeFileValues(Group& group, const EntryValues& values, std::optional<os::FileStamp> stamp,
                                         bool saved, MergeContext* context) {
  std::vector<std::size_t> changed;
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
  const HeldField* held = context ? context->held : nullptr;
  if (held && held->group == group.id && held->n >= 1 && held->n <= merged && !saved) {
    const std::size_t k = 2 * (held->n - 1) + (held->title ? 0 : 1);
    const std::string_view theirs = held->title ? values.Title(held->n - 1) : values.Path(held->n - 1);
    if (!kept[k] && theirs != BaseOf(group.base, held->n, held->title)) held_back = true;
    kept[k] = 1;
  }
  MergeObserver* const observer =
      context && context->observer && context->observer->Watches(group.id) ? context->observer : nullptr;
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
  if (context) context->held_back = context->held_back || held_back;
  return changed;
}

std::vector<std::size_t> TakeFirstRead(Group& group, EntryValues values, std::optional<os::FileStamp> stamp,
                                       MergeObserver* observer) {
  if (observer && observer->Watches(group.id)) {
    for (std::size_t n = 1; n <= values.size() && n <= group.entries.size(); ++n) {
      if (values.Title(n - 1) != group.entries.Title(n - 1)) observer->BaseMoved(group.id, n, true);
      if (values.Path(n - 1) != group.entries.Path(n - 1)) observer->BaseMoved(group.id, n, false);
    }
  }
  std::vector<std::size_t> filled;
  filled.reserve(values.size());
  for (std::size_t i = 0; i < values.size(); ++i)
    if (!values.Title(i).empty() || !values.Path(i).empty()) filled.push_back(i + 1);
  group.base = values;
  group.entries = EntryList(std::move(values));
  group.state = ReadState::Read;
  group.stamp = stamp;
  return filled;
}

int RowOfSource(const LauncherModel& model, const std::string& file_name, std::size_t hint) {
  if (hint < model.GroupCount() && model.GroupAt(hint).source == file_name) return static_cast<int>(hint);
  // One look-up: a scan costs less than building the map.
  for (std::size_t row = 0; row < model.GroupCount(); ++row)
    if (model.GroupAt(row).source == file_name) return static_cast<int>(row);
  return FindRow(model, {}, file_name);
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

const FolderListing& HoldEdited(const LauncherModel& model, bool editing, const FolderListing& listing,
                                FolderListing& held, bool* kept) {
  if (kept) *kept = false;
  const Group* group = model.Current();
  if (!group || group->source.empty() || group->ChangedHere() || !editing) return listing;
  for (const ListedFile& file : listing.files)
    if (os::SameFileName(file.file_name, group->source)) return listing;
  // Listed as it was last seen: it stays and is not read.
  held = listing;
  held.files.push_back({group->source, group->stamp.value_or(os::FileStamp{})});
  if (kept) *kept = true;
  return held;
}

const FolderListing& MissingFiles::Hold(const LauncherModel& model, const FolderListing& listing,
                                       std::uint64_t now_ms, FolderListing& held) {
  std::vector<std::pair<std::string, std::uint64_t>> since;
  std::vector<ListedFile> kept;
  const auto rows = RowsBySource(model);
  std::vector<bool> listed(model.GroupCount(), false);
  for (const ListedFile& file : listing.files)
    if (const int row = FindRow(model, rows, file.file_name); row >= 0) listed[static_cast<std::size_t>(row)] = true;
  for (std::size_t row = 0; row < listed.size(); ++row) {
    const Group& group = model.GroupAt(row);
    if (listed[row] || group.source.empty() || group.ChangedHere()) continue;
    std::uint64_t first = now_ms;
    for (const auto& [name, at] : since_)
      if (name == group.source) first = at;
    if (now_ms - first >= kMissingGraceMs) continue;   // gone for good: it leaves
    since.emplace_back(group.source, first);
    kept.push_back({group.source, group.stamp.value_or(os::FileStamp{})});
  }
  since_ = std::move(since);
  if (kept.empty()) return listing;
  if (&held != &listing) held = listing;
  held.files.insert(held.files.end(), kept.begin(), kept.end());
  return held;
}

std::uint64_t MissingFiles::NextLookIn(std::uint64_t now_ms) const {
  std::uint64_t next = 0;
  for (const auto& [name, at] : since_) {
    const std::uint64_t in = at + kMissingGraceMs > now_ms ? at + kMissingGraceMs - now_ms : 1;
    if (next == 0 || in < next) next = in;
  }
  return next;
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

SaveNeed SaveNeedOf(const LauncherModel&, const Group& group) {
  const bool own_file = !group.source.empty() && os::SameFileName(group.source, group.FileName());
  if (group.state == ReadState::NotRead) return own_file ? SaveNeed::Nothing : SaveNeed::Deferred;
  if (own_file && !group.Edited()) return SaveNeed::Nothing;
  return SaveNeed::Merge;
}

SaveMerge MergeForSave(const LauncherModel&, const Group& group, SaveInputs inputs) {
  SaveMerge merge;
  const bool own_file = !group.source.empty() && os::SameFileName(group.source, group.FileName());
  const bool deleted_elsewhere = !group.source.empty() && !inputs.base;
  std::optional<std::string>& current = own_file ? inputs.base : inputs.current;
  if (!own_file && current && !inputs.carried) {
    // A file no group carries: made elsewhere, or one this run deleted.
    const bool elsewhere = !inputs.removed_here;
    if (elsewhere) merge.clashes.push_back(MadeElsewhereMessage(group.name));
    merge.displaced.push_back({*current, elsewhere});
  }
  if (deleted_elsewhere && group.state == ReadState::Read)
    merge.clashes.push_back(DeletedElsewhereMessage(group.name));
  IniDocument doc(inputs.base.value_or(std::string()));
  if (doc.Readable()) {
    const std::size_t before = merge.clashes.size();
    SpliceChanges(doc, group, !inputs.base, merge.clashes);
    if (merge.clashes.size() > before && inputs.base) merge.displaced.push_back({*inputs.base, true});
    merge.bytes = doc.TakeBytes();
    merge.written = GroupFileValues(merge.bytes, group.entries.size()).value_or(EntryValues(group.entries.size()));
  } else if (group.Unread() && !group.Edited()) {
    merge.bytes = *inputs.base;   // carried to the new name as it is
  } else {
    return merge;   // never replaced by what the reader could make of it
  }
  merge.outcome = current && *current == merge.bytes ? SaveMerge::Outcome::Unchanged : SaveMerge::Outcome::Write;
  return merge;
}

}  // namespace korvane
