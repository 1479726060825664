// The folder watch of BackgroundWork: one thread waits on the folder's
// change notification and hands the window one answer for any number of
// changes, so a save that writes many files costs one look. And the
// start's listing of the folder, made while the window is.
#include <atomic>
#include <exception>

#include "data/os.h"
#include "grid/background.h"
#include "ui/thread.h"

namespace korvane {

struct BackgroundWork::FolderWatcher {
  // What the thread and its answers share; the answers may outlive the
  // watcher (queued when it stopped): they check `stopped`.
  struct Shared {
    std::atomic<bool> announced{false};  // an answer is on its way
    std::atomic<bool> stopped{false};
    Callback<void()> on_change;
  };

  explicit FolderWatcher(std::unique_ptr<os::FolderWatch> opened) : watch(std::move(opened)) {}
  ~FolderWatcher() {
    shared->stopped = true;
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
        if (event != os::FolderWatch::Event::Changed || w->shared->stopped) return;
        // One answer at a time: changes made before it runs are covered by
        // the look it starts.
        if (w->shared->announced.exchange(true)) continue;
        Send([shared = w->shared] {
          shared->announced = false;
          if (!shared->stopped && shared->on_change) shared->on_change();
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

StartupReading::StartupReading(std::string folder) : folder_(std::move(folder)) {
  // The watch is opened on the caller's thread, which lives on: the system
  // ends a thread's pending wait for changes with the thread, and the watch
  // would then answer a change that is none.
  watch_ = std::make_unique<os::FolderWatch>(folder_);
  if (!thread_.Start([this] { Read(); })) Read();
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

void StartupReading::Wait() { thread_.Join(); }

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
