#pragma once
// The one owner of the main window's work off its thread: the existence
// tests behind the path markers, the entries' icons, the launches, and any
// other job whose answer the window waits for (reading and saving files).
// They all run in one pool (ui::WorkQueue), by priority: a launch first,
// then what the user sees (icons, the shown group's tests, reads), then
// the tests of the other groups. It holds the launches under way, the icon
// cache's generation and the checks that drop stale answers; answers, and
// every other piece of work put off to the window's thread (Send), run on
// the window's thread when it calls Deliver (on `message`).
#include <windows.h>

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/callback.h"
#include "data/model.h"
#include "data/os.h"
#include "data/refresh.h"
#include "data/settings.h"
#include "grid/icon_cache.h"
#include "ui/drawgrid.h"
#include "ui/thread.h"
#include "ui/work_queue.h"

namespace korvane {

// What a launch found: whether the file was there, and the shell's answer.
struct LaunchOutcome {
  std::string group;     // the group's name when the launch began
  std::size_t row = 0;   // its list row then
  std::size_t n = 0;     // the entry's number
  std::string path;
  bool exists = false;
  UINT_PTR result = 0;   // ShellExecute's answer (> 32: started)
};

// What a path waits on when it is looked up: "\\server\share" or "c:"
// (letters in lower case), empty for a relative path. A root that does not
// answer holds up no other root's lookups.
std::string PathRoot(std::string_view path);

class BackgroundWork {
 public:
  // The model whose markers the tests set, the icon cache the painting
  // reads, the grid whose cells the answers repaint.
  BackgroundWork(LauncherModel& model, IconCache& icons, ui::DrawGrid& grid);
  ~BackgroundWork();
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;

  // The pool the work runs in, made before the window (the start's
  // reading runs in it): its threads, the lookups' limit and roots.
  static std::unique_ptr<ui::WorkQueue> MakePool();
  // Work in `pool` (made by MakePool, which outlives this) rather than in a
  // pool of its own; before Start.
  void UsePool(ui::WorkQueue* pool) { shared_pool_ = pool; }
  // Attaches the pool (made now when none was given), whose answers are
  // announced to `window` with `message`; Stop drops every job and answer,
  // and ends the launches' hourglass.
  void Start(HWND window, UINT message);
  void Stop();
  // Priorities in the pool.
  static constexpr int kBehind = 0;     // tests of groups not shown
  static constexpr int kShown = 1;      // icons, the shown group, reads
  static constexpr int kUserWaits = 2;  // launches, saves
  // A lookup (existence test, icon, launch) that has not answered within
  // the limit is set aside: its path shows missing until it answers.
  static constexpr unsigned kLookupLimitMs = 3000;
  // Tests change it.
  void SetLookupLimit(unsigned limit_ms);

  // Tests every untested path of the group at `row` (of entry only_n alone
  // when not 0); urgent ones go before all others. A path already being
  // tested is not asked again: its answer serves every entry that holds it.
  void TestPaths(std::size_t row, bool urgent, std::size_t only_n = 0);
  // The group at `row` was selected: its tests go first, and its icons are
  // asked anew (those asked for the group shown before are dropped).
  void GroupSelected(std::size_t row);
  // The group at `row` was renamed: its paths are tested for the new name,
  // and the tests for the old one are dropped.
  void GroupRenamed(std::size_t row);
  // Groups were deleted: tests nobody waits for any more are dropped.
  void GroupsChanged();
  // Tells the folders among names off the window's thread; `done` gets
  // the answer, one flag a name, on the window's thread (a name whose test
  // does not answer within the limit counts as a file).
  void FindFolders(std::vector<std::string> names, Callback<void(const std::vector<bool>& folders)> done);
  // An icon for path, once painting found none in the cache.
  void WantIcon(const std::string& path);
  // Tests the entry's path and opens it with the shell on a worker, the
  // program-wide hourglass counted meanwhile; `done` gets the outcome on
  // the window's thread. False (nothing done) when a launch of the same
  // entry is under way or the work is stopped.
  bool Launch(const Group& group, std::size_t row, std::size_t n, HWND owner,
              Callback<void(const LaunchOutcome&)> done);
  bool Launching() const { return !launching_.empty(); }

  // Entries that follow a stick: paths are tested, iconed and launched as
  // resolved against the exe's folder (a path without a drive letter lies
  // on the exe's drive, a relative one below its folder), and a file chosen
  // or dropped on the exe's removable drive is stored without its letter.
  // Whether that drive is removable is asked off the window's thread once
  // Start has made the queues; until the answer, paths are stored as chosen.
  void SetExeFolder(const std::string& folder);
  std::string StoredPath(const std::string& chosen) const;
  std::string Resolved(const std::string& stored) const;

  // Any other job: `job` runs on a worker and gives back the answer to run
  // on the window's thread. A later Run or Forget with the same key makes
  // the answer stale: it is dropped.
  using Answer = ui::WorkQueue::Answer;
  void Run(const std::string& key, Callback<Answer()> job);
  void Forget(const std::string& key);
  // Tests only: called on the worker before each job of Run, with its key
  // (a test holds a listing there, as a share that does not answer would).
  static inline std::atomic<void (*)(const std::string& key)> before_run_for_tests{nullptr};
  // Any job, with its options (a save: its priority and limit); 0 when
  // the work is stopped. Wait: until it ended, at most limit_ms.
  ui::WorkQueue::JobId Post(ui::WorkQueue::Job job, ui::WorkQueue::Options options);
  bool Wait(ui::WorkQueue::JobId id, unsigned limit_ms) { return pool_ && pool_->Wait(id, limit_ms); }
  // The one way to the window's thread: `answer` runs there, from any
  // thread (a COM callback, the folder watch) or from the window's own (a
  // step put off until the messages waiting now are handled). Dropped once
  // the work is stopped.
  void Send(Answer answer);

  // The folder watch (grid/background_watch.cpp): a thread of its own
  // waits for changes on `watch`, opened on a folder (StartupReading), and
  // runs `on_change` on the window's thread, once for any number of
  // changes made before it runs. False when the folder sends no change
  // notifications or the system refuses the thread (a look must stand in).
  // StopWatch ends the thread; it goes before Stop.
  bool Watch(std::unique_ptr<os::FolderWatch> watch, Callback<void()> on_change);
  void StopWatch();
  bool Watching() const;

  // Runs the answers that have arrived (the window's handler of `message`).
  void Deliver();
  // True while a job is queued or running, or an answer waits.
  bool Busy() const;

  // The row of the group named exactly name (hint: where it was), or -1: a
  // group renamed or deleted since a job began gets no answer.
  int GroupRowNamed(const std::string& name, std::size_t hint) const;

 private:
  // Repaints the cells of the current group's entries whose path is path,
  // in the given columns.
  void RepaintEntries(const std::string& path, int first_col, int last_col);
  void EndLaunch(const LaunchOutcome& outcome);
  // An entry that waits for the test of its path.
  struct Target {
    std::string group;
    std::size_t row = 0;  // where the group was
    std::size_t n = 0;
    bool operator==(const Target&) const = default;
  };
  struct PathTest {
    ui::WorkQueue::JobId id = 0;
    std::vector<Target> targets;
    bool late = false;  // shown missing: the limit passed
  };
  // Marks the targets of path's test (late: only those still untested).
  void MarkTargets(const std::string& path, PathMarker marker, bool late);

  LauncherModel& model_;
  IconCache& icons_;
  ui::DrawGrid& grid_;
  // The pool: its own, or the one the start made (shared_pool_).
  std::unique_ptr<ui::WorkQueue> own_pool_;
  ui::WorkQueue* shared_pool_ = nullptr;
  ui::WorkQueue* pool_ = nullptr;  // while started
  // The entries whose launch is under way: group name, entry number.
  std::vector<std::pair<std::string, std::size_t>> launching_;
  // The newest Run of each key: older answers are stale.
  std::unordered_map<std::string, unsigned> generations_;
  // The path tests under way, by path; the icon extractions, by path.
  std::unordered_map<std::string, PathTest> tests_;
  std::unordered_map<std::string, ui::WorkQueue::JobId> icon_jobs_;
  // The folder watch's thread and state (shared: its type is complete only
  // in background_watch.cpp).
  struct FolderWatcher;
  std::shared_ptr<FolderWatcher> watcher_;
  std::string exe_folder_;
  bool exe_on_removable_ = false;
};

// What a start reads before its main window exists: the data folder's
// watch opened first, on the caller's thread (a change made before the
// listing is then not missed), then as a job of the pool, while the system
// connects the program to the display, its group names listed
// (ListGroupNames, disk epoch 0: a model not yet saved) and the settings
// read. The window takes each part once; each Take waits for the job.
// Where the system refuses a thread the constructor reads on the caller's.
class StartupReading {
 public:
  // In `pool` (which outlives this), or in a pool of its own.
  explicit StartupReading(std::string folder, ui::WorkQueue* pool = nullptr);
  ~StartupReading();
  StartupReading(const StartupReading&) = delete;
  StartupReading& operator=(const StartupReading&) = delete;

  const std::string& folder() const { return folder_; }
  // Waits for the reading to end.
  void Wait();
  // The watch (null once taken; one that could not be opened is passed on
  // as it is, and BackgroundWork::Watch answers false for it).
  std::unique_ptr<os::FolderWatch> TakeWatch();
  // The listing (nullopt when the folder could not be listed, or once
  // taken).
  std::optional<FolderListing> TakeGroupNames();
  // nullopt when taken already or when reading them failed (no memory).
  std::optional<LoadedSettings> TakeSettings();

 private:
  void Read();
  std::string folder_;
  std::unique_ptr<os::FolderWatch> watch_;
  std::optional<FolderListing> listing_;
  std::optional<LoadedSettings> settings_;
  std::unique_ptr<ui::WorkQueue> own_pool_;
  ui::WorkQueue* pool_ = nullptr;
  ui::WorkQueue::JobId job_ = 0;  // 0: read already (or on the caller's thread)
};

}  // namespace korvane
