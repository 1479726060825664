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
#include <cstdint>
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

// The status bar's notice when a merge took steps away: a value they held
// was changed elsewhere, and undoing or redoing them would write over it.
inline constexpr char kStepsDropped[] = "他の場所で変更された項目の「元に戻す」「やり直し」を消しました";

// A step holds only the values it changed, before and after, and names its
// groups by identity, not by row: a refresh that adds, drops or reorders
// groups, or takes values the step never touched from the files, leaves it
// sound. A refresh that changes a value a step holds drops every step that
// holds it (undoing or redoing them would write over the other place's
// value unseen), and a group whose file went elsewhere takes its own steps
// with it. After an undo or a redo the flag says whether anything differs
// from the files.
class History : private MergeObserver {
 public:
  explicit History(LauncherModel& model);
  ~History();
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
  // The redo of a new or renamed group whose name another group took
  // meanwhile (a file made elsewhere) is a name clash: the row of that
  // group, else -1. Redo does nothing then unless take_name: the other
  // group leaves the list (its file stays; the save keeps it aside and
  // tells it, as any file made elsewhere under a new name), unless it is
  // one this run changed, which is never given up.
  int RedoNameTakenBy() const;
  std::optional<Shown> Redo(bool take_name = false);
  // Forgets every step: after a load and after every save.
  void Clear();

  // Told after every step recorded, undone, redone or dropped and after
  // Clear: the window shows the unsaved state and the menu's captions anew.
  Callback<void()> on_change;
  // Told after on_change when a merge dropped steps (kStepsDropped).
  Callback<void()> on_steps_dropped;
  // Told when an undo brought back a deleted group: its file is to be read
  // again, so that it shows what the file holds now.
  Callback<void()> on_reread;

 private:
  enum class GroupEdit { None, Added, Renamed, Deleted };
  // One entry's values the step changed.
  struct Slot {
    std::uint64_t group = 0;
    std::size_t n = 0;
    bool title = false;   // the title changed
    bool path = false;    // the path (or its marker) changed
    std::string title_before, title_after, path_before, path_after;
    PathMarker marker_before = PathMarker::NoPath, marker_after = PathMarker::NoPath;
  };
  struct Step {
    Change change = Change::Title;
    std::vector<Slot> slots;
    GroupEdit edit = GroupEdit::None;
    std::uint64_t group = 0;    // the group a group command changed
    std::size_t row = 0;        // where it stood: an undone deletion goes back there
    std::size_t entry = 0;      // the entry acted on, before and after the step
    std::size_t entry_after = 0;
    std::optional<Group> held;  // the group added, or deleted, while it is out of the model
    std::string name_before, extension_before, name_after, extension_after;
    std::optional<RemovedGroup> removed;   // the name the command put on the removed list
    std::uint64_t current_before = 0, current_after = 0;   // ids; 0 none
    bool modified_before = false;
  };

  // A step over the rows (group row, entry) about to change.
  Step Begin(Change change, std::size_t entry, const std::vector<std::pair<std::size_t, std::size_t>>& rows) const;
  // Takes the rows' new values, keeps those that changed, and keeps the
  // step when anything changed.
  void Finish(Step step);
  void Push(Step step);
  void Changed();
  Shown Apply(Step& step, bool forward);
  std::uint64_t CurrentId() const;
  // Drops the steps for which holds answers true; true when any went.
  template <class Holds>
  bool DropSteps(Holds holds);

  // MergeObserver.
  bool Watches(std::uint64_t group) const override;
  void BaseMoved(std::uint64_t group, std::size_t n, bool title) override;
  void GroupDropped(std::uint64_t group) override;

  LauncherModel& model_;
  std::vector<Step> undo_;
  std::vector<Step> redo_;
  std::optional<Entry> clipboard_;
};

}  // namespace korvane
