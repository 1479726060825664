#pragma once
// Undo and redo of every change to entries and groups, and the entry
// clipboard. The window changes the model only through a History: each
// operation here does what the model's own does and records the step.
// Undo and redo never touch a file; the next save writes the result.
//
// The history reaches back to the start of the run or to the last save: a
// save clears it (Clear), since from then on the files, the groups' sources
// and the removed list are those the save left, and a step recorded before
// it would put back ones that no longer hold.
#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/callback.h"
#include "data/model.h"

namespace korvane {

// The status bar's texts: while the modified flag is set, and after a save
// until the next change.
inline constexpr char kStatusUnsaved[] = "未保存の変更があります";
inline constexpr char kStatusSaved[] = "保存しました";
// The status bar's text for the flag, saved telling whether a save has
// succeeded in this run; empty before any change or save.
const char* StatusText(bool modified, bool saved);

// The kinds of step, each with its name in the menu.
enum class Change {
  Title,          // a typed title committed
  TitleCleared,   // Delete on the title
  Path,           // a path chosen or dropped
  PathCleared,    // Delete on the path
  EntryDeleted,   // title and path at once
  Reorder,        // an entry moved within its group
  MoveToGroup,
  CopyToGroup,
  Cut,
  Paste,
  NewGroup,
  RenameGroup,
  DeleteGroup,
};
const char* ChangeName(Change change);

// Menu captions, the step's name after them when there is one:
// "元に戻す(&U) タイトルの変更".
inline constexpr char kUndoCaption[] = "元に戻す(&U)";
inline constexpr char kRedoCaption[] = "やり直し(&R)";

// What the window shows after an undo or a redo. The model's current group
// is already the one the step changed (or none): the window selects that
// row in the group list, and makes `entry` the current row of the grid.
struct Shown {
  bool names_changed = false;        // the group list's items: rebuild them from Names()
  std::size_t entry = 0;             // 0 when the step changed no entry
  std::vector<std::size_t> groups;   // rows whose entries came back: their untested paths are tested again
};

class History {
 public:
  explicit History(LauncherModel& model) : model_(model) {}
  History(const History&) = delete;
  History& operator=(const History&) = delete;

  // The model's entry operations on the current group, with its answers.
  bool SetTitle(std::size_t n, std::string text);
  bool ClearTitle(std::size_t n);
  // A path set here leaves its marker untested: the window tests it off its
  // thread.
  bool SetPath(std::size_t n, std::string file);
  // Several paths in one step (the files of one drop): (entry, file).
  // Answers how many were set.
  std::size_t SetPaths(std::vector<std::pair<std::size_t, std::string>> paths);
  bool ClearPath(std::size_t n);
  // Title and path of entry n in one step; false when it held neither.
  bool DeleteEntry(std::size_t n);
  bool MoveEntry(std::size_t from, std::size_t to);
  LauncherModel::TransferResult TransferEntry(std::size_t n, std::size_t row, bool copy);

  // The clipboard holds one entry (title, path and its marker) until the
  // next cut or copy; an undo leaves it as it is. Copy and Cut of an empty
  // entry do nothing and answer false.
  bool Copy(std::size_t n);
  bool Cut(std::size_t n);
  // Ask: entry n is filled; call again with replace once the user agreed.
  LauncherModel::Paste Paste(std::size_t n, bool replace);
  const std::optional<Entry>& Clipboard() const { return clipboard_; }

  // The group commands.
  void AddGroup(std::string name);
  void RenameGroup(std::size_t row, std::string new_name);
  void DeleteGroup(std::size_t row);

  bool CanUndo() const { return !undo_.empty(); }
  bool CanRedo() const { return !redo_.empty(); }
  std::string UndoCaption() const;
  std::string RedoCaption() const;
  // Nothing when there is nothing to undo (redo).
  std::optional<Shown> Undo();
  std::optional<Shown> Redo();
  // Forgets every step: after a load and after every save.
  void Clear();
  // A refresh took the groups at these rows (as they were before) out of
  // the model because their files went elsewhere. The steps name groups by
  // row and hold the removed list and current row of their time, so none
  // of them can be put back soundly any more: the history is forgotten.
  // Groups appended at the end need no call. The clipboard stays.
  void GroupsRemoved(const std::vector<std::size_t>& rows);

  // Told after every step recorded, undone or redone and after Clear: the
  // window shows the unsaved state and the menu's captions anew.
  Callback<void()> on_change;

 private:
  enum class GroupEdit { None, Added, Renamed, Deleted };
  struct Slot {
    std::size_t row;
    std::size_t n;
    LauncherModel::EntryState before;
    LauncherModel::EntryState after;
  };
  struct Step {
    Change change = Change::Title;
    std::vector<Slot> slots;
    GroupEdit edit = GroupEdit::None;
    std::size_t row = 0;        // the group a group command changed
    std::size_t entry = 0;      // the entry acted on, before and after the step
    std::size_t entry_after = 0;
    std::optional<Group> group; // the group added, or deleted, while it is out of the model
    std::string name_before, extension_before, name_after, extension_after;
    std::vector<RemovedGroup> removed_before, removed_after;
    int current_before = -1;
    int current_after = -1;
    bool modified_before = false;
    bool modified_after = false;
  };

  // A step over the rows (group row, entry) about to change.
  Step Begin(Change change, std::size_t entry, const std::vector<std::pair<std::size_t, std::size_t>>& rows) const;
  // Takes the rows' new states and keeps the step when anything changed.
  void Finish(Step step);
  void Push(Step step);
  void Changed();
  Shown Apply(Step& step, bool forward);

  LauncherModel& model_;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  std::optional<Entry> clipboard_;
};

}  // namespace korvane
