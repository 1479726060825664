#pragma once
// Seeing what other places did to the group folder while the program runs,
// in steps the window spreads over its threads:
//
//   worker:  ListGroupFiles (names and stamps, no file read)
//   window:  ApplyListing (new files become groups not read yet, files
//            deleted elsewhere take their unchanged groups with them), then
//            FilesToRead (only files whose stamp differs from the one the
//            group remembers, and groups not read yet)
//   worker:  ReadGroupSnapshot for each (no model access)
//   window:  ApplySnapshot for each (the merge)
//
// The program's own saves record the stamps of what they wrote, so the
// notification that follows a save finds nothing to read. Each listing and
// snapshot carries the model's disk epoch from when it was asked for; one
// from before a save that touched its files is dropped.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "data/groupfiles.h"
#include "data/model.h"
#include "data/os.h"

namespace korvane {

// No row: a look-up without a hint.
inline constexpr std::size_t kNoRow = static_cast<std::size_t>(-1);

struct ListedFile {
  std::string file_name;
  os::FileStamp stamp;
};

struct FolderListing {
  std::uint64_t epoch = 0;
  std::vector<ListedFile> files;            // group files, in the folder's order
  std::vector<std::string> left_alone;      // LeftAloneMessage of each file no group may use
};

// The group files of folder, without reading any. nullopt when the folder
// cannot be listed (a share that is away): such a refresh changes nothing.
// stamps false skips the stamps where they cost a call per file (POSIX).
// Any thread; never throws.
std::optional<FolderListing> ListGroupFiles(const std::string& folder, std::uint64_t epoch, bool stamps = true);
// The same from a listing of folder already made.
std::optional<FolderListing> GroupFilesOf(const std::string& folder, std::vector<os::DirEntry> entries,
                                          std::uint64_t epoch);

// The listing a start begins with (LoadGroupNames' first half): folder
// listed after what an interrupted save left is put right. nullopt when
// the folder cannot be listed. Any thread; never throws.
std::optional<FolderListing> ListGroupNames(const std::string& folder, std::uint64_t epoch);
// Its second half, on the window's thread: the model gets one group, not
// read yet, per listed file. ok is false (and the model empty) when there
// is no listing.
FileReport ApplyGroupNames(const std::string& folder, const std::optional<FolderListing>& listing,
                           LauncherModel& model);

struct ListingApplied {
  bool stale = false;                 // a save came between: list again
  std::size_t appended = 0;           // new groups at the end of the list, not read yet
  std::vector<std::string> dropped;   // names of groups that left the list, in list order
  bool current_dropped = false;       // the current group was one of them: none is current
};

// Window thread. A file no group knows becomes a group at the end of the
// list (not read yet), unless a group of this run already uses its name (a
// new or renamed group: the save settles that clash) or this run deleted
// it. A group whose file is no longer listed leaves the list when this run
// has not changed it; a changed one stays and its save writes it anew.
ListingApplied ApplyListing(LauncherModel& model, const FolderListing& listing);

// The files of listing to read: groups not read yet or unreadable, and
// groups whose stamp differs from the listed one, in list order.
std::vector<std::string> FilesToRead(const LauncherModel& model, const FolderListing& listing);
// The files of the groups not read yet, in list order (the start's reads).
std::vector<std::string> UnreadFiles(const LauncherModel& model);

struct GroupSnapshot {
  std::uint64_t epoch = 0;
  std::string file_name;
  ReadOutcome outcome = ReadOutcome::Missing;
  EntryValues values;   // the file's titles and paths; empty values unless read
  std::optional<os::FileStamp> stamp;
};

// Reads one group file of folder. Any thread; touches no model; never
// throws (a failure is an Unreadable outcome).
GroupSnapshot ReadGroupSnapshot(const std::string& folder, const std::string& file_name, std::size_t entry_count,
                                std::uint64_t epoch);

struct SnapshotApplied {
  int row = -1;                        // the group it reached; -1 when dropped
  std::vector<std::size_t> entries;    // entry numbers whose title or path changed
  bool first_read = false;             // the group was not read before: show its entries
  bool unreadable = false;             // tell CannotReadMessage at the next save or start
};

// Window thread. A group this run has not changed takes the file's values;
// a changed one keeps the user's values and takes the rest. A file that
// vanished changes nothing (the listing decides); an unreadable one leaves
// the entries as they are.
// The group at row hint (where the file is expected) is looked at first.
SnapshotApplied ApplySnapshot(LauncherModel& model, const GroupSnapshot& snapshot, std::size_t hint = kNoRow);
// The same, taking the entries over where it can.
SnapshotApplied ApplySnapshot(LauncherModel& model, GroupSnapshot&& snapshot, std::size_t hint = kNoRow);

// The row of the group whose file is file_name, or -1. The group at row
// hint is looked at first: files read in list order are found at once.
int RowOfSource(const LauncherModel& model, const std::string& file_name, std::size_t hint = kNoRow);

}  // namespace korvane
