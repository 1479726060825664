#include "data/refresh.h"

#include <algorithm>
#include <exception>

namespace korvane {

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

}  // namespace korvane
