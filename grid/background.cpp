#include "grid/background.h"

#include <objbase.h>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

namespace korvane {

namespace {
// How long the end of the program waits for a job still running.
constexpr auto kEndWait = std::chrono::milliseconds(300);
}  // namespace

struct BackgroundQueue::State {
  HWND window;
  UINT message;
  int max_threads;
  bool com;
  mutable std::mutex mutex;
  std::condition_variable wake;   // a job queued, or stop
  std::condition_variable idle;   // a thread ended
  std::deque<std::pair<std::string, Job>> jobs;
  std::vector<Answer> answers;
  int threads = 0;
  int running = 0;
  bool stop = false;
};

BackgroundQueue::BackgroundQueue(HWND window, UINT message, int max_threads, bool com)
    : state_(std::make_shared<State>()) {
  state_->window = window;
  state_->message = message;
  state_->max_threads = max_threads < 1 ? 1 : max_threads;
  state_->com = com;
}

BackgroundQueue::~BackgroundQueue() {
  std::vector<Answer> dropped;
  std::deque<std::pair<std::string, Job>> unstarted;
  {
    std::unique_lock lock(state_->mutex);
    state_->stop = true;
    unstarted.swap(state_->jobs);
    dropped.swap(state_->answers);
    state_->wake.notify_all();
    state_->idle.wait_for(lock, kEndWait, [this] { return state_->threads == 0; });
  }
  // Destroyed outside the lock: an answer may own an icon.
}

void BackgroundQueue::Post(std::string key, Job job, bool urgent) {
  std::lock_guard lock(state_->mutex);
  if (urgent) state_->jobs.emplace_front(std::move(key), std::move(job));
  else state_->jobs.emplace_back(std::move(key), std::move(job));
  const int idle = state_->threads - state_->running;
  if (idle < static_cast<int>(state_->jobs.size()) && state_->threads < state_->max_threads) {
    ++state_->threads;
    std::thread(Work, state_).detach();
  } else {
    state_->wake.notify_one();
  }
}

void BackgroundQueue::Prioritize(const std::string& key) {
  std::lock_guard lock(state_->mutex);
  std::deque<std::pair<std::string, Job>> first, rest;
  for (auto& job : state_->jobs) (job.first == key ? first : rest).push_back(std::move(job));
  for (auto& job : rest) first.push_back(std::move(job));
  state_->jobs.swap(first);
}

void BackgroundQueue::Deliver() {
  std::vector<Answer> answers;
  {
    std::lock_guard lock(state_->mutex);
    answers.swap(state_->answers);
  }
  // An answer may open a message box, whose loop delivers the later ones.
  for (Answer& answer : answers) {
    if (answer) answer();
  }
}

bool BackgroundQueue::Busy() const {
  std::lock_guard lock(state_->mutex);
  return !state_->jobs.empty() || state_->running > 0 || !state_->answers.empty();
}

void BackgroundQueue::Work(std::shared_ptr<State> state) {
  const bool com = state->com && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  std::unique_lock lock(state->mutex);
  for (;;) {
    state->wake.wait(lock, [&] { return state->stop || !state->jobs.empty(); });
    if (state->stop) break;
    Job job = std::move(state->jobs.front().second);
    state->jobs.pop_front();
    ++state->running;
    lock.unlock();
    job([&state](Answer answer) {
      std::unique_lock reply_lock(state->mutex);
      if (state->stop) {
        reply_lock.unlock();   // dropped outside the lock
        return;
      }
      const bool first = state->answers.empty();
      state->answers.push_back(std::move(answer));
      if (first) PostMessageA(state->window, state->message, 0, 0);
    });
    job = nullptr;
    lock.lock();
    --state->running;
  }
  --state->threads;
  state->idle.notify_all();
  lock.unlock();
  if (com) CoUninitialize();
}

}  // namespace korvane
