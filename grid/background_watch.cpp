// The folder watch of BackgroundWork: one thread waits on the folder's
// change notification and hands the window one answer for any number of
// changes, so a save that writes many files costs one look. And the
// start's listing of the folder, made in the pool while the window is.
#include <exception>
#include <utility>

#include "data/os.h"
#include "grid/background.h"
#include "ui/thread.h"
#include "ui/work_queue.h"

namespace korvane {

struct BackgroundWork::FolderWatcher {
  // What the thread and its answers share, behind its lock; the answers
  // may outlive the watcher (queued when it stopped): they check
  // `stopped`. The callback is the window thread's alone.
  struct Shared {
    ui::Mutex mutex;
    bool announced = false;  // an answer is on its way
    bool stopped = false;
    Callback<void()> on_change;
    bool Stopped() {
      ui::Lock lock(mutex);
      return stopped;
    }
    // True when no answer was on its way (one is now).
    bool Announce() {
      ui::Lock lock(mutex);
      return !std::exchange(announced, true);
    }
    // The answer runs: later changes need another.
    bool Answered() {
      ui::Lock lock(mutex);
      announced = false;
      return !stopped;
    }
  };

  explicit FolderWatcher(std::unique_ptr<os::FolderWatch> opened) : watch(std::move(opened)) {}
  ~FolderWatcher() {
    {
      ui::Lock lock(shared->mutex);
      shared->stopped = true;
    }
    watch->Wake();
    thread.Join();
  }

  std::unique_ptr<os::FolderWatch> watch;
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();
  ui::Thread thread;
};

bool BackgroundWork::Watch(std::unique_ptr<os::FolderWatch> watch, Callback<void()> on_change) {
  StopWatch();
  if (!watch || !watch->Opened()) return false;
  auto watcher = std::make_shared<FolderWatcher>(std::move(watch));
  watcher->shared->on_change = std::move(on_change);
  FolderWatcher* w = watcher.get();
  const bool started = watcher->thread.Start([this, w] {
    try {
      for (;;) {
        const os::FolderWatch::Event event = w->watch->Wait(os::FolderWatch::kForever);
        if (event != os::FolderWatch::Event::Changed || w->shared->Stopped()) return;
        // One answer at a time: changes made before it runs are covered by
        // the look it starts.
        if (!w->shared->Announce()) continue;
        Send([shared = w->shared] {
          if (shared->Answered() && shared->on_change) shared->on_change();
        });
      }
    } catch (...) {
      // The watch ends; the looks on activation and before a save remain.
    }
  });
  if (!started) return false;
  watcher_ = std::move(watcher);
  return true;
}

void BackgroundWork::StopWatch() { watcher_.reset(); }

StartupReading::StartupReading(std::string folder, ui::WorkQueue* pool) : folder_(std::move(folder)), pool_(pool) {
  // The watch is opened on the caller's thread, which lives on: the system
  // ends a thread's pending wait for changes with the thread, and the watch
  // would then answer a change that is none.
  watch_ = std::make_unique<os::FolderWatch>(folder_);
  try {
    if (!pool_) {
      own_pool_ = std::make_unique<ui::WorkQueue>(nullptr, 0, 1, false);
      pool_ = own_pool_.get();
    }
    // What the job writes is read once Wait has seen it end (under the
    // pool's lock).
    ui::WorkQueue::Options options;
    options.key = "start-up reading";
    options.priority = BackgroundWork::kUserWaits;
    options.limit_ms = 0;
    job_ = pool_->Post([this](const ui::WorkQueue::Context&) { Read(); }, std::move(options));
  } catch (...) {
    job_ = 0;
    Read();
  }
}

StartupReading::~StartupReading() { Wait(); }

void StartupReading::Read() {
  // ListGroupNames never throws; a failure to list is its nullopt.
  listing_ = ListGroupNames(folder_, 0);
  try {
    settings_ = LoadSettings(folder_);
  } catch (...) {
    // Read again by the window.
  }
}

void StartupReading::Wait() {
  if (job_ == 0) return;
  pool_->Wait(std::exchange(job_, 0));
}

std::unique_ptr<os::FolderWatch> StartupReading::TakeWatch() {
  Wait();
  return std::move(watch_);
}

std::optional<FolderListing> StartupReading::TakeGroupNames() {
  Wait();
  return std::exchange(listing_, std::nullopt);
}

std::optional<LoadedSettings> StartupReading::TakeSettings() {
  Wait();
  return std::exchange(settings_, std::nullopt);
}

bool BackgroundWork::Watching() const { return watcher_ != nullptr; }

}  // namespace korvane
