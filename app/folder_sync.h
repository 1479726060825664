#pragma once
// Keeps the group list and the grid in step with the group folder while the
// program runs: the start's reads (names first, files off the window's
// thread as they arrive) and the refreshes after a change made elsewhere.
// The main window owns it; the folder's listing and every file read run on
// workers (through `run`), their answers on the window's thread.
//
// A refresh never touches the title editor, the current cell or the scroll
// position, and never shows a box: files it could not read are told at the
// next save (TakeWarnings). The program's own saves record the stamps of
// what they wrote, so the change notification that follows costs one
// listing and no read.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "common/callback.h"
#include "data/groupfiles.h"
#include "data/model.h"
#include "data/refresh.h"
#include "ui/drawgrid.h"
#include "ui/list_box.h"

namespace korvane {

class FolderSync {
 public:
  using Answer = Callback<void()>;
  struct Parts {
    LauncherModel& model;
    ui::ListBox& list;
    ui::DrawGrid& grid;
    const std::string& data_folder;
    // Runs `job` on a worker and its answer on the window's thread; a later
    // run with the same key makes an earlier answer stale.
    Callback<void(const std::string& key, Callback<Answer()> job)> run;
    // Queues the tests of the untested paths of the group at row.
    Callback<void(std::size_t row, bool urgent)> test_paths;
    // A one-line notice in the status bar.
    Callback<void(std::string_view text)> notice;
    // The one warning box (the start's unreadable files).
    Callback<void(const std::vector<std::string>& messages)> warn;
  };
  explicit FolderSync(Parts parts) : p_(std::move(parts)) {}
  ~FolderSync();
  FolderSync(const FolderSync&) = delete;
  FolderSync& operator=(const FolderSync&) = delete;

  // Told the rows (as they were, ascending) of the groups a refresh took
  // out of the list because their files were deleted elsewhere.
  Callback<void(const std::vector<std::size_t>& rows)> on_groups_dropped;
  // Told after a refresh or a read changed the model (names or values).
  Callback<void()> on_model_changed;
  // Told when the notice of a group deleted elsewhere no longer holds (its
  // file came back): the status bar shows the unsaved state again.
  Callback<void()> on_notice_gone;
  // Told once the start's files are all read (before its warning box).
  Callback<void()> on_started;
  // Asked at each listing: true while a save runs on a copy of the model. A
  // listing then would see the save's own files before the model records
  // them, and read them again: it is put off until SaveEnded.
  Callback<bool()> saving;
  void SaveEnded();
  // Asked at each listing: true while an entry of the current group is
  // being edited (the title editor or the path dialog is open on it). Such
  // a group stays in the list though its file was deleted elsewhere, until
  // the edit ends: committed with a change, it is a group this run changed
  // (its save writes it anew); else the look after the edit drops it.
  Callback<bool()> editing;

  // The start: the folder's group names into the model and the list in one
  // step, from the folder's listing (ListGroupNames, made on any thread);
  // the files are then read on workers. ok false: the folder cannot be
  // listed (no listing).
  FileReport Begin(const std::optional<FolderListing>& listing);
  // Whether a look must stand in for change notifications (a share that
  // sends none): on activation and before each save.
  void SetLooks(bool looks) { looks_ = looks; }
  bool Looks() const { return looks_; }
  // A change in the folder was notified, or a look is due: the folder is
  // listed on a worker, then what changed is read.
  void Look();
  // The window was activated: a look when notifications are missing.
  void Activated();
  // The edit on the current group ended: a drop it held back follows, and
  // a read of a file whose change the edited value held back.
  void EditEnded();
  // The group at row became current: not read yet, its file goes first and
  // the hourglass shows until its entries do.
  void Selected(std::size_t row);
  // Before a save (and a close): waits, the hourglass on and the window
  // answering, for the start's reads and, where notifications are missing,
  // for a look. False when it must not go on (the window went meanwhile, or
  // a wait is already under way).
  bool WaitBeforeSave();
  // How long that wait lasts at most (a listing or read that does not
  // answer): then the save or the close goes on without it.
  unsigned wait_limit_ms = 30000;
  // True while the start's files are still being read.
  bool Starting() const { return starting_; }
  // True while any listing or read is asked and unanswered.
  bool Busy() const { return looking_ || in_flight_ > 0 || !pending_.empty(); }
  bool Waiting() const { return waiting_; }
  // The messages of files a refresh could not read or must leave alone,
  // each told once: for the next save's warning box.
  std::vector<std::string> TakeWarnings();
  // Drops what is pending; answers still on their way do nothing.
  void Stop();

  // How many group files were read since the start (the figures).
  std::size_t FilesRead() const { return files_read_; }

 private:
  void OnListing(std::optional<FolderListing> listing);
  void OnSnapshots(std::vector<GroupSnapshot> snapshots);
  void Feed();
  void ReadNow(const std::string& file_name);
  void ListChanged(const std::vector<std::string>& names_before, int current_before, const ListingApplied& applied);
  void EndStart();
  void EndAwaiting();
  void Warn(std::string message);
  void LookAfterGrace();
  static void CALLBACK GraceTimer(HWND hwnd, UINT, UINT_PTR id, DWORD);
  void WaitUntil(const Callback<bool()>& done);

  Parts p_;
  bool looks_ = false;
  bool looking_ = false;     // a listing is asked
  bool look_again_ = false;  // a change came while it was
  bool after_save_ = false;  // a listing was put off until the save ends
  bool look_after_edit_ = false;  // a listing kept the edited group's deleted file
  bool starting_ = false;
  bool stopped_ = false;
  bool waiting_ = false;
  std::vector<std::string> pending_;  // files to read, the next one last
  int in_flight_ = 0;                // read jobs under way
  unsigned next_key_ = 0;
  std::string awaited_;              // the current group's file, not read yet
  bool awaiting_busy_ = false;       // its hourglass is counted
  std::vector<std::string> start_messages_;
  std::vector<std::string> warnings_;
  std::unordered_set<std::string> told_;
  std::size_t files_read_ = 0;
  MissingFiles missing_;        // files gone for less than the grace
  bool grace_timer_ = false;     // a look after the grace is set
  std::string noticed_;          // the group the status bar says was deleted
};

}  // namespace korvane
