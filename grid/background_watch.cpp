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

  explicit FolderWatcher(const std::string& folder) : watch(folder) {}
  ~FolderWatcher() {
    shared->stopped = true;
    watch.Wake();
    thread.Join();
  }

  os::FolderWatch watch;
  std::shared_ptr<Shared> shared = std::make_shared<Shared>();
  ui::Thread thread;
};

bool BackgroundWork::Watch(const std::string& folder, Callback<void()> on_change) {
  StopWatch();
  auto watcher = std::make_shared<FolderWatcher>(folder);
  if (!watcher->watch.Opened()) return false;
  watcher->shared->on_change = std::move(on_change);
  FolderWatcher* w = watcher.get();
  const bool started = watcher->thread.Start([this, w] {
    try {
      for (;;) {
        const os::FolderWatch::Event event = w->watch.Wait(os::FolderWatch::kForever);
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

struct BackgroundWork::ListingAhead {
  std::string folder;
  std::uint64_t epoch = 0;
  std::optional<FolderListing> listing;  // written by the thread, read after Join
  ui::Thread thread;
};

void BackgroundWork::ListGroupNamesAhead(const std::string& folder, std::uint64_t epoch) {
  listing_ahead_.reset();
  auto ahead = std::make_shared<ListingAhead>();
  ahead->folder = folder;
  ahead->epoch = epoch;
  ListingAhead* a = ahead.get();
  // ListGroupNames never throws; a failure to list is its nullopt.
  if (!ahead->thread.Start([a] { a->listing = ListGroupNames(a->folder, a->epoch); })) return;
  listing_ahead_ = std::move(ahead);
}

std::optional<FolderListing> BackgroundWork::TakeGroupNames(const std::string& folder, std::uint64_t epoch) {
  const std::shared_ptr<ListingAhead> ahead = std::move(listing_ahead_);
  if (!ahead || ahead->folder != folder || ahead->epoch != epoch) return ListGroupNames(folder, epoch);
  ahead->thread.Join();
  return std::move(ahead->listing);
}

void BackgroundWork::StopWatch() { watcher_.reset(); }

bool BackgroundWork::Watching() const { return watcher_ != nullptr; }

}  // namespace korvane
