#pragma once
// Saves the groups off the window's thread: SaveGroups runs in the pool on
// a copy of the model made when the save is asked, while the window keeps
// answering; what it did is taken into the model when it ends
// (LauncherModel::TakeInSave), so that what the user changed meanwhile is a
// change after the save. A save asked for while one runs follows it. One
// that has not ended within its limit is told in a warning naming the
// folder and left to end on its own: its changes stay unsaved until it
// does, and its result is then taken in like any other.
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/callback.h"
#include "data/groupfiles.h"
#include "data/model.h"
#include "ui/work_queue.h"

namespace korvane {

class GroupSaver {
 public:
  struct Parts {
    LauncherModel& model;
    const std::string& data_folder;
    // Queues a job in the pool, at the priority of work the user waits on.
    Callback<ui::WorkQueue::JobId(ui::WorkQueue::Job job, ui::WorkQueue::Options options)> post;
    // The status bar's text (while saving: kSavingText) and the unsaved
    // state once it ended or passed its limit.
    Callback<void(std::string_view text)> notice;
    Callback<void()> show_state;
    // The one warning box.
    Callback<void(const std::vector<std::string>& messages)> warn;
    // A save's result, taken into the model: its boxes and what follows.
    Callback<void(const FileReport& report)> saved;
  };
  // A save of one changed group on a share that answers each lookup,
  // open, create and rename after three seconds takes about fifteen: twice
  // that is long enough for a share that is slow but answers, and short
  // enough that a user waiting on a share that does not answer is told
  // (and can close without saving) before giving up on the window.
  static constexpr unsigned kSaveLimitMs = 30000;
  static constexpr char kSavingText[] = "保存しています…";

  explicit GroupSaver(Parts parts) : p_(std::move(parts)) {}
  ~GroupSaver() { Stop(); }
  GroupSaver(const GroupSaver&) = delete;
  GroupSaver& operator=(const GroupSaver&) = delete;

  // Saves, the hourglass counted, and waits (the window answering) until
  // the save ended or passed its limit; while one runs, the new one is
  // queued after it and this returns at once.
  void Save();
  // Waits (the window answering) until a save under way ended or passed
  // its limit.
  void WaitForEnd();
  // A save runs within its limit.
  bool Saving() const { return running_ && !late_; }
  // A save runs past its limit.
  bool Late() const { return running_ && late_; }
  // The limit from now on (tests shorten it).
  void SetLimit(unsigned limit_ms) { limit_ms_ = limit_ms; }
  // Drops the save's answers; the hourglass ends.
  void Stop();
  // The late save's warning.
  static std::string LateMessage(std::string_view folder);
  // Tests only: called on the save's thread before it writes (a test holds
  // the save there, as a share that does not answer would).
  static inline std::atomic<void (*)()> before_write_for_tests{nullptr};

 private:
  void Begin();
  void OnLate(std::uint64_t generation);
  void OnSaved(std::uint64_t generation, const LauncherModel& before, LauncherModel saved, const FileReport& report);
  void EndBusy();

  Parts p_;
  unsigned limit_ms_ = kSaveLimitMs;
  bool running_ = false;
  bool late_ = false;
  bool again_ = false;   // asked for while one ran
  bool busy_ = false;    // the hourglass is counted
  bool stopped_ = false;
  std::uint64_t generation_ = 0;
};

}  // namespace korvane
