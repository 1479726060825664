#pragma once
// The merge rules, in one place: what a refresh takes from a group's file
// and what a save writes into it. Nothing here touches the file system:
// the callers read and write (data/refresh.cpp, data/groupfiles.cpp) and
// hand over what they found; the window's side (the folder sync) asks here
// what to do with a listing.
//
// The rules, in short:
// - A value this run has not changed takes the file's value; one it
//   changed keeps the user's value (its base stays, so a clash is still seen
//   at the save). A save writes only what this run changed, into the file
//   as it is at the moment of the save; a value changed here and elsewhere is
//   a clash (the user's value is written, the file as it was is kept).
// - A file no group knows becomes a group at the end of the list; a group
//   whose file is no longer listed leaves it, unless this run changed it
//   (its save writes it anew) or one of its entries is being edited.
// - Everything read or listed before a save that touched the folder is
//   stale (the model's disk epoch).
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

struct GroupSnapshot {
  std::uint64_t epoch = 0;
  std::string file_name;
  ReadOutcome outcome = ReadOutcome::Missing;
  EntryValues values;   // the file's titles and paths; empty values unless read
  std::optional<os::FileStamp> stamp;
};

// ---- What a refresh takes ----

// A file's values reach the group (read by a refresh, or read back after a
// save wrote it), with the file's stamp: see LauncherModel::MergeFileValues.
// What a merge knows beyond the group: the field an open editor holds (its
// base stays what the editor began with, so the commit is judged against
// it) and who follows the bases a merge moves (the history's steps).
struct MergeContext {
  const HeldField* held = nullptr;
  MergeObserver* observer = nullptr;   // told only of groups it watches
  bool held_back = false;              // out: the file differed under the editor
};
std::vector<std::size_t> MergeFileValues(Group& group, const EntryValues& values,
                                         std::optional<os::FileStamp> stamp, bool saved,
                                         MergeContext* context = nullptr);
// A group not read yet takes its file's values as they are: see
// LauncherModel::TakeFirstRead.
std::vector<std::size_t> TakeFirstRead(Group& group, EntryValues values, std::optional<os::FileStamp> stamp,
                                       MergeObserver* observer = nullptr);

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

// The listing a refresh applies while an entry of the current group is
// being edited (editing): a group this run has not changed whose file is
// missing from listing is listed as it was last seen, so that it stays and
// is not read. Answers listing itself, or held filled so; *kept tells
// whether the group was held back (a look follows the edit's end).
const FolderListing& HoldEdited(const LauncherModel& model, bool editing, const FolderListing& listing,
                                FolderListing& held, bool* kept);

// A group whose file disappears stays in the list for kMissingGraceMs
// before it leaves: sync clients and some editors replace a file by
// deleting it and making it anew, usually within milliseconds and, over a
// slow share, within a second; a file back within the grace keeps its
// group where it was, current if it was, with its history. Two seconds
// also cover the change notification's own delay and the listing's time
// under load, and are short enough that a group really deleted elsewhere
// leaves the list before the user has looked twice.
inline constexpr std::uint64_t kMissingGraceMs = 2000;

class MissingFiles {
 public:
  // The listing to apply at now_ms: the file of a group this run has not
  // changed, missing from listing for less than kMissingGraceMs, is listed
  // as it was last seen (the group stays and its file is not read). Answers
  // listing itself, or held filled so.
  const FolderListing& Hold(const LauncherModel& model, const FolderListing& listing, std::uint64_t now_ms,
                            FolderListing& held);
  // Milliseconds until the grace of a file held now ends (a look is due
  // then), or 0 when none is held.
  std::uint64_t NextLookIn(std::uint64_t now_ms) const;

 private:
  std::vector<std::pair<std::string, std::uint64_t>> since_;   // source file, first missed
};

// The files of listing to read: groups not read yet or unreadable, and
// groups whose stamp differs from the listed one, in list order.
std::vector<std::string> FilesToRead(const LauncherModel& model, const FolderListing& listing);
// The files of the groups not read yet, in list order (the start's reads).
std::vector<std::string> UnreadFiles(const LauncherModel& model);

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

// ---- What a save writes ----

// What a save does with a group, before any file is read.
enum class SaveNeed {
  Nothing,    // nothing of this run's to write (or its file not read yet)
  Deferred,   // not read yet and to be written under another name: waits
  Merge,      // its file is read and merged (MergeForSave)
};
SaveNeed SaveNeedOf(const LauncherModel& model, const Group& group);

// What the save found in the folder for one group.
struct SaveInputs {
  // The bytes of the group's source file; nullopt when the group has no
  // source yet or its source is gone (deleted elsewhere).
  std::optional<std::string> base;
  // The bytes under the name the group is saved under, when that is not
  // its source; nullopt when there is no such file.
  std::optional<std::string> current;
  // That file is the source of another group of this run, which carries it.
  bool carried = false;
  // That name is on this run's removed list (a file this run deleted).
  bool removed_here = false;
};

// Bytes a save would overwrite or delete that hold what no one else keeps.
struct Displaced {
  std::string bytes;
  bool told = true;   // a clash (told, and kept in the folder without a Recycle Bin)
};

struct SaveMerge {
  enum class Outcome {
    Write,       // bytes go into the group's file
    Unchanged,   // bytes are what the file holds already
    Refused,     // the file cannot be made from what was read: not written
  };
  Outcome outcome = Outcome::Refused;
  std::string bytes;
  std::optional<EntryValues> written;    // the values the file holds once written (none: carried unread)
  std::vector<std::string> clashes;      // lines of the clash box
  std::vector<Displaced> displaced;
};

// The group's file as the save writes it: the base's bytes as they are now
// with this run's changes spliced in (every value when the base is gone).
// A value changed here and in the file is a clash; so is a file made
// elsewhere under a new or renamed group's name, and a group deleted
// elsewhere. The base of a group whose file was unreadable, and which the
// user did not change, is carried as it is.
SaveMerge MergeForSave(const LauncherModel& model, const Group& group, SaveInputs inputs);

}  // namespace korvane
