#pragma once
// The launcher's groups and their entries, as the main window holds them for
// the whole run, with the modified flag that guards unsaved changes.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "common/shared_bytes.h"
#include "data/os.h"

namespace korvane {

// Entries per group: the entry grid shows them on its 21 rows less the one
// fixed header row. Entry number n (1..20) is grid row n and list index n - 1.
inline constexpr std::size_t kEntryCount = 20;
// Longest title in bytes: the maximum length of the title edit box.
inline constexpr std::size_t kTitleMaxBytes = 40;

// What the launch column shows for an entry's path. Never saved.
enum class PathMarker : unsigned char {
  NoPath,    // the path is empty
  Found,     // named an existing file when last tested
  Missing,   // named no existing file (or a folder)
  Untested,  // a path whose test has not answered yet: shown as found
};

// Extension of a group file, as the program spells it for new files.
inline constexpr std::string_view kGroupExtension = ".PTH";

// The marker for path as the file system stands now.
PathMarker MarkerFor(const std::string& path);
// The marker a path gets before its test: none for an empty path, else
// Untested.
PathMarker UntestedMarker(const std::string& path);

// The title a chosen file gets: its name without folder (after the last '\'
// or ':' that is not a trail byte) and without its last extension, cut to
// kTitleMaxBytes without splitting a double-byte character.
std::string TitleFromPath(std::string_view path);

struct Entry {
  std::string title;
  std::string path;
  PathMarker marker = PathMarker::NoPath;

  bool operator==(const Entry&) const = default;
};

// The titles and paths of a group's entries as last read from its file,
// packed in one buffer: a group read at start costs one allocation for
// them, not one per value. Copies share the buffer, which never changes.
// Values are counted from 0; a set of all-empty values holds no buffer.
class EntryValues {
 public:
  EntryValues() = default;
  explicit EntryValues(std::size_t count) : count_(count) {}
  // The titles and paths of entries.
  explicit EntryValues(const std::vector<Entry>& entries);

  std::size_t size() const { return count_; }
  std::string_view Title(std::size_t i) const { return Value(2 * i); }
  std::string_view Path(std::size_t i) const { return Value(2 * i + 1); }
  // True when both are copies of one set (so their values are the same).
  bool Shares(const EntryValues& other) const { return count_ == other.count_ && packed_ == other.packed_; }
  // count values, entry i's title and path from of(i) (a pair of string
  // views, which may point into this set).
  template <class Of>
  void Assign(std::size_t count, Of of);
  // The bytes before the values in a set of count entries.
  static constexpr std::size_t HeadBytes(std::size_t count) { return 2 * count * sizeof(std::uint32_t); }
  // count entries' values, taken with their buffer: HeadBytes(count) bytes
  // free, then the 2 * count values one after another, value k ending
  // ends[k] bytes after the head, then room that is given back.
  void Adopt(std::size_t count, SharedBytes buffer, std::span<const std::size_t> ends);

 private:
  std::string_view Value(std::size_t k) const;
  // The end offsets of the 2 * count_ values (4 bytes each), then the
  // values; none when every value is empty.
  SharedBytes packed_;
  std::size_t count_ = 0;
};

// A group's entries. Those of a group read from its file stay in the
// values read (shared with its base) until an entry is first looked at or
// changed: then every entry gets its own strings, paths untested. Title
// and Path read the values without that. The lists are the window's
// thread's, as the model is.
class EntryList {
 public:
  using iterator = std::vector<Entry>::iterator;
  using const_iterator = std::vector<Entry>::const_iterator;

  EntryList() = default;
  EntryList(std::vector<Entry> entries) : items_(std::move(entries)) {}
  explicit EntryList(EntryValues values) : values_(std::move(values)), made_(false) {}

  std::size_t size() const { return made_ ? items_.size() : values_.size(); }
  bool empty() const { return size() == 0; }
  Entry& operator[](std::size_t i) { return Items()[i]; }
  const Entry& operator[](std::size_t i) const { return Items()[i]; }
  Entry& at(std::size_t i) { return Items().at(i); }
  const Entry& at(std::size_t i) const { return Items().at(i); }
  operator const std::vector<Entry>&() const { return Items(); }
  iterator begin() { return Items().begin(); }
  iterator end() { return Items().end(); }
  const_iterator begin() const { return Items().begin(); }
  const_iterator end() const { return Items().end(); }

  std::string_view Title(std::size_t i) const { return made_ ? std::string_view(items_[i].title) : values_.Title(i); }
  std::string_view Path(std::size_t i) const { return made_ ? std::string_view(items_[i].path) : values_.Path(i); }
  // The values the entries still are, or null once they were made.
  const EntryValues* Unmade() const { return made_ ? nullptr : &values_; }
  // The titles and paths as a set (a copy of the values while unmade).
  EntryValues Values() const { return made_ ? EntryValues(items_) : values_; }

  friend bool operator==(const EntryList& a, const EntryList& b) { return a.Items() == b.Items(); }
  friend bool operator==(const EntryList& a, const std::vector<Entry>& b) { return a.Items() == b; }

 private:
  std::vector<Entry>& Items() const;

  mutable std::vector<Entry> items_;
  mutable EntryValues values_;
  mutable bool made_ = true;
};

// How far a group's file has been read.
enum class ReadState : unsigned char {
  NotRead,      // listed, its file not read yet: no save may write it
  Read,         // its entries came from its file (or it is new)
  Unreadable,   // its file exists but could not be read: entries empty
};

struct Group {
  std::string name;
  EntryList entries;
  // The extension of the group's file as spelled on disk (".pth" stays
  // ".pth" where names keep their case).
  std::string extension = std::string(kGroupExtension);
  // The file the entries were read from or last saved to, as spelled on
  // disk; empty for a group not saved yet. A save starts from its bytes, so
  // a rename carries every line of it to the new name.
  std::string source;
  ReadState state = ReadState::Read;
  // The titles and paths as last read from its file (at start, at a
  // refresh or at its last save); markers unused. A value differing from
  // its base is one this run changed. Empty values for a group not saved
  // yet or whose file could not be read.
  EntryValues base;
  // The source file's stamp when it was last read or written; nullopt
  // when unknown (never read): the next refresh reads it.
  std::optional<os::FileStamp> stamp;
  // The model's disk epoch after the save that last wrote its file: a read
  // begun before then is stale.
  std::uint64_t written_epoch = 0;
  // Who the group is for the whole run, whatever its row, name or file:
  // given when it enters the model (never 0 there), kept while an undo
  // holds it out of the model.
  std::uint64_t id = 0;

  bool Unread() const { return state == ReadState::Unreadable; }
  // Entry number n's title or path differs from its base.
  bool TitleChanged(std::size_t n) const;
  bool PathChanged(std::size_t n) const;
  // Some title or path differs from its base.
  bool Edited() const;
  // This run changed the group: a value, its name, or it is new.
  bool ChangedHere() const;
  std::string FileName() const { return name + extension; }
  // Entry number n (1-based: its grid row), or nullptr out of range.
  const Entry* EntryAt(std::size_t n) const { return n >= 1 && n <= entries.size() ? &entries[n - 1] : nullptr; }
  Entry* EntryAt(std::size_t n) { return n >= 1 && n <= entries.size() ? &entries[n - 1] : nullptr; }
};

// A name whose group file is to be deleted at the next save.
struct RemovedGroup {
  std::string name;
  std::string extension;
  std::string FileName() const { return name + extension; }
};

// Told of what a merge changes under the history (data/history.h): a
// value taken from a file where it was the base, and a group that left
// the model because its file went elsewhere.
class MergeObserver {
 public:
  // Whether anything is held about the group with this id.
  virtual bool Watches(std::uint64_t group) const = 0;
  // Entry n's title (or path) was its base and is now the file's other
  // value.
  virtual void BaseMoved(std::uint64_t group, std::size_t n, bool title) = 0;
  virtual void GroupDropped(std::uint64_t group) = 0;

 protected:
  ~MergeObserver() = default;
};

// A value an open editor shows: a merge keeps it and its base as they are.
struct HeldField {
  std::uint64_t group = 0;
  std::size_t n = 0;
  bool title = true;   // else the path
};

class LauncherModel {
 public:
  explicit LauncherModel(std::size_t entry_count = kEntryCount);

  std::size_t EntryCount() const { return entry_count_; }
  std::size_t GroupCount() const { return groups_.size(); }
  const std::vector<Group>& Groups() const { return groups_; }
  const Group& GroupAt(std::size_t row) const { return groups_.at(row); }
  // The row of the group with this id, or -1 when it is not in the model.
  int RowOf(std::uint64_t id) const;
  // The group names in list order: the items of the group list box.
  std::vector<std::string> Names() const;

  // A new group with entry_count empty entries.
  Group NewGroup(std::string name) const;

  // Appends a new empty group; the selection does not change. Sets the flag.
  void AddGroup(std::string name);
  // Index of the first group whose name equals name without case, or -1.
  int FindGroup(std::string_view name) const;
  // The group at row becomes current; a row of -1 (no selection) or out of
  // range changes nothing.
  void SelectGroup(int row);
  // The current group's row, or -1 when no group is current.
  int CurrentRow() const { return current_; }
  const Group* Current() const;
  // The old name goes to the removed list; the entries (and the file they
  // came from) stay. Sets the flag.
  void RenameGroup(std::size_t row, std::string new_name);
  // Drops the group, its name goes to the removed list, no group is current
  // afterwards. Sets the flag.
  void DeleteGroup(std::size_t row);

  // Entry operations on the current group, entry number n (1-based). They
  // do nothing and answer false when no group is current or n is out of
  // range.
  bool SetTitle(std::size_t n, std::string text);   // sets the flag
  bool ClearTitle(std::size_t n);                   // sets the flag, even when already empty
  // Path := file, marker by the file-existence test, and the title from the
  // file name when the title is empty. Sets the flag. Without test, the
  // marker is left untested (the window's thread never waits on a share).
  bool SetPath(std::size_t n, std::string file, bool test = true);
  bool ClearPath(std::size_t n);                    // empty path, no marker; sets the flag
  bool RefreshMarker(std::size_t n);                // flag unchanged
  // The marker a launch leaves: set as told, flag unchanged.
  bool SetMarker(std::size_t n, PathMarker marker);
  // The answer of a test (or a launch) of path for entry n of the group at
  // row, current or not: set only while that entry still holds path. Flag
  // unchanged.
  bool SetMarkerOfPath(std::size_t row, std::size_t n, std::string_view path, PathMarker marker);

  bool Modified() const { return modified_; }
  void ClearModified() { modified_ = false; }
  // The flag from what differs from the files: a name on the removed list,
  // or a group new, renamed or with a value changed in this run.
  void RecountModified();

  // The observer of merges (one; null for none).
  void SetMergeObserver(MergeObserver* observer) { observer_ = observer; }
  // While an editor is open on a value, a merge leaves that value and its
  // base alone (the commit is then judged against what the editor began
  // with, so a change made elsewhere meanwhile is a clash at the save),
  // and the group's file is read again at the next refresh.
  void Hold(HeldField field) { held_ = field; }
  void Release() { held_.reset(); }
  const std::optional<HeldField>& Held() const { return held_; }
  // True once after a merge passed over a held value the file had changed:
  // the folder is to be looked at again once the editor closes.
  bool TakeHeldBack() { return std::exchange(held_back_, false); }

  const std::vector<RemovedGroup>& Removed() const { return removed_; }
  void SetRemoved(std::vector<RemovedGroup> removed) { removed_ = std::move(removed); }

  // Empties the model for a load: no groups, nothing removed, none current,
  // flag clear.
  void Reset();
  // Appends a group read from its file: its entries become its base. The
  // flag does not change.
  void AppendLoaded(Group group);
  // The group at row is in its file now: the file it is saved under
  // becomes its source.
  void MarkSaved(std::size_t row);
  // The save that wrote the group at row is the latest to touch its file.
  void MarkWritten(std::size_t row) {
    if (row < groups_.size()) groups_[row].written_epoch = disk_epoch_;
  }

  // A file's values reached the group at row (read by a refresh, or read
  // back after a save wrote it), with the file's stamp (the rule is the
  // merge unit's, data/merge.h). A title or path
  // this run has not changed takes the file's value; one it changed keeps
  // the user's value. The base becomes the file's values where the user's
  // value was taken over or saved (saved: every value was just written),
  // and stays where an unsaved change is kept, so that a clash is still
  // seen at the save. A group not read yet, or unreadable, becomes read.
  // Answers the entry numbers whose title or path changed (markers of
  // changed paths are Untested). The flag does not change.
  std::vector<std::size_t> MergeFileValues(std::size_t row, const EntryValues& values,
                                           std::optional<os::FileStamp> stamp, bool saved);
  // A group not read yet takes its file's values as they are (its entries
  // and its base share them); answers the entry numbers that are not empty.
  std::vector<std::size_t> TakeFirstRead(std::size_t row, EntryValues values, std::optional<os::FileStamp> stamp);
  // The group's file was found unreadable or is stamped anew.
  void SetReadState(std::size_t row, ReadState state);
  void SetStamp(std::size_t row, std::optional<os::FileStamp> stamp);
  // Appends a group listed in the folder whose file is not read yet.
  void AppendListed(std::string name, std::string extension);
  // Room for count groups, so that appending them moves none.
  void Reserve(std::size_t count) { groups_.reserve(count); }
  // The group's file was deleted elsewhere: the group leaves the list
  // without going to the removed list; the current row follows its group
  // (none when it was this one). The flag does not change.
  void DropGroup(std::size_t row);
  // Counts the saves that changed the folder: a listing or a file read
  // before the latest save is stale and dropped.
  std::uint64_t DiskEpoch() const { return disk_epoch_; }
  void NextDiskEpoch() { ++disk_epoch_; }
  // The group at row is held in another file for now: a file of that name
  // and extension becomes its source and is deleted at a save once the
  // group is written under its own name.
  void HoldIn(std::size_t row, std::string name, std::string extension);
  // Releases every group and the removed list; the flag does not change.
  void FreeGroups();

  // Arranging entries (data/arrange.cpp). An entry keeps its marker where
  // it goes: its path did not change. Rows whose title or path changed are
  // marked as changed and set the flag. In a group whose file could not be
  // read, a row counts as known only once both its title and path were set
  // in this run: no operation shifts, fills or empties an unknown row by
  // itself, so a save never overwrites an entry nobody saw.
  //
  // Entry `from` of the current group takes row `to`; the entries between
  // shift by one towards `from`. False (nothing done) when no group is
  // current, a row is out of range, from == to or a row of the span is
  // unknown.
  bool MoveEntry(std::size_t from, std::size_t to);
  // The first known row of the group at row with no title and no path, or 0.
  std::size_t FirstEmptyEntry(std::size_t row) const;
  enum class Transfer {
    Done,      // the entry is in the target group's row `entry`
    Full,      // the target group has no empty row: nothing changed
    Nothing,   // an empty or unknown entry, the current group itself, or out of range
  };
  struct TransferResult {
    Transfer outcome = Transfer::Nothing;
    std::size_t entry = 0;
  };
  // Entry n of the current group goes into the first empty row of the group
  // at row; moved, it leaves an empty row behind, copied it stays.
  TransferResult TransferEntry(std::size_t n, std::size_t row, bool copy);
  // Entry n of the current group when it holds a title or a path (for Copy).
  std::optional<Entry> EntryToCopy(std::size_t n) const;
  // The same, emptied where it was (for Cut); nothing for an empty entry.
  std::optional<Entry> CutEntry(std::size_t n);
  enum class Paste {
    Done,
    Ask,       // row n is filled: nothing changed until the user agrees to replace it
    Nothing,   // no group current, n out of range or nothing to paste
  };
  // Title, path and marker of clip into entry n of the current group.
  Paste PasteEntry(std::size_t n, const Entry& clip, bool replace);

  // The state of one entry row as undo puts it back: the values and the
  // marker (whether a value counts as changed follows from its base).
  struct EntryState {
    Entry entry;
    bool operator==(const EntryState&) const = default;
  };
  EntryState StateOf(std::size_t row, std::size_t n) const;
  void RestoreState(std::size_t row, std::size_t n, const EntryState& state);
  // A group put back at row, or taken out; the current group stays the
  // same group (none when it is the one taken out).
  void InsertGroup(std::size_t row, Group group);
  Group TakeGroup(std::size_t row);
  void RestoreName(std::size_t row, std::string name, std::string extension);
  void RestoreModified(bool modified) { modified_ = modified; }
  // The group at row becomes current, or none for -1.
  void RestoreCurrent(int row) { current_ = row >= 0 && static_cast<std::size_t>(row) < groups_.size() ? row : -1; }
  // True when entry n of the group at row has values the user has seen.
  bool Known(std::size_t row, std::size_t n) const;

  // A save ran on a copy of this model made at `before` and left `saved`
  // (data/saving.cpp): what it did is taken in. Where nothing changed here
  // since, the saved model is taken whole (markers and the current group
  // kept). Otherwise each group is taken by name: its file, stamp and base
  // become the saved ones, a value not changed since takes the saved value
  // and one changed since stays (it differs from the new base: a change
  // after the save); a group made or renamed since stays as it is. Names
  // the save deleted leave the removed list. The flag is the saved one, or
  // set when a change since stays.
  void TakeInSave(const LauncherModel& before, LauncherModel saved);

 private:
  Group* EditableCurrent(std::size_t n);
  // Every change of a value goes through here. Whether a value counts as
  // changed in this run is read from its base (an undo that puts a value
  // back makes it unchanged again); here the flag is set.
  void Changed(Group& group, std::size_t n, bool title, bool path);

  std::size_t entry_count_;
  std::vector<Group> groups_;
  std::vector<RemovedGroup> removed_;
  int current_ = -1;
  bool modified_ = false;
  std::uint64_t disk_epoch_ = 0;
  std::uint64_t next_id_ = 0;
  MergeObserver* observer_ = nullptr;
  std::optional<HeldField> held_;
  bool held_back_ = false;
  // Gives a group entering the model its id, once.
  void Identify(Group& group) {
    if (group.id == 0) group.id = ++next_id_;
  }
};

template <class Of>
void EntryValues::Assign(std::size_t count, Of of) {
  // The values are asked for once; a group's usual count is kept on the
  // stack.
  constexpr std::size_t kOnStack = 2 * kEntryCount;
  std::string_view on_stack[kOnStack];
  std::vector<std::string_view> on_heap(2 * count > kOnStack ? 2 * count : 0);
  std::string_view* const views = on_heap.empty() ? on_stack : on_heap.data();
  std::size_t total = 0;
  for (std::size_t i = 0; i < count; ++i) {
    const auto [title, path] = of(i);
    views[2 * i] = title;
    views[2 * i + 1] = path;
    total += title.size() + path.size();
  }
  SharedBytes packed;
  if (total != 0) {
    const std::size_t head = HeadBytes(count);
    packed = SharedBytes(head + total);
    char* const data = packed.data();
    std::size_t end = head;
    for (std::size_t k = 0; k < 2 * count; ++k) {
      views[k].copy(data + end, views[k].size());
      end += views[k].size();
      const auto offset = static_cast<std::uint32_t>(end);
      std::memcpy(data + k * sizeof offset, &offset, sizeof offset);
    }
  }
  packed_ = std::move(packed);
  count_ = count;
}

}  // namespace korvane
