#include "ui/work_queue.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "ui/window.h"

namespace ui {

namespace {
// How long the end of the program waits for a job still running.
constexpr auto kEndWait = std::chrono::milliseconds(300);
}  // namespace

struct WorkQueue::Context::Running {
  JobId id = 0;
  std::shared_ptr<State> state;
  std::atomic<bool> cancelled{false};
};

struct WorkQueue::State {
  struct Queued {
    JobId id;
    std::string key;
    Job job;
    std::shared_ptr<Context::Running> running;
  };
  // An answer, or the error of a job that threw.
  struct Delivery {
    Answer answer;
    std::exception_ptr error;
  };

  HWND window;
  UINT message;
  int max_threads;
  bool com;
  mutable std::mutex mutex;
  std::condition_variable wake;   // a job queued, or stop
  std::condition_variable idle;   // a thread ended
  std::deque<Queued> jobs;
  std::vector<std::shared_ptr<Context::Running>> running;
  std::vector<Delivery> answers;
  JobId next_id = 1;
  int threads = 0;
  bool stop = false;

  // Under the lock: queues a delivery and tells the window when it is the
  // first one waiting.
  void Push(Delivery d) {
    const bool first = answers.empty();
    answers.push_back(std::move(d));
    if (first) PostMessageA(window, message, 0, 0);
  }
};

void WorkQueue::Context::Reply(Answer answer) const {
  State& state = *running_->state;
  std::unique_lock lock(state.mutex);
  if (state.stop || running_->cancelled) {
    lock.unlock();  // dropped outside the lock: an answer may own a handle
    answer = nullptr;
    return;
  }
  state.Push({std::move(answer), nullptr});
}

bool WorkQueue::Context::Cancelled() const { return running_->cancelled || running_->state->stop; }

WorkQueue::WorkQueue(HWND window, UINT message, int max_threads, bool com) : state_(std::make_shared<State>()) {
  state_->window = window;
  state_->message = message;
  state_->max_threads = max_threads < 1 ? 1 : max_threads;
  state_->com = com;
}

WorkQueue::~WorkQueue() {
  std::vector<State::Delivery> dropped;
  std::deque<State::Queued> unstarted;
  {
    std::unique_lock lock(state_->mutex);
    state_->stop = true;
    unstarted.swap(state_->jobs);
    dropped.swap(state_->answers);
    for (auto& r : state_->running) r->cancelled = true;
    state_->wake.notify_all();
    state_->idle.wait_for(lock, kEndWait, [this] { return state_->threads == 0; });
  }
  // Destroyed outside the lock: an answer may own an icon.
}

WorkQueue::JobId WorkQueue::Post(std::string key, Job job, bool urgent) {
  std::lock_guard lock(state_->mutex);
  const JobId id = state_->next_id++;
  auto running = std::make_shared<Context::Running>();
  running->id = id;
  running->state = state_;
  State::Queued queued{id, std::move(key), std::move(job), std::move(running)};
  if (urgent) state_->jobs.push_front(std::move(queued));
  else state_->jobs.push_back(std::move(queued));
  const int idle = state_->threads - static_cast<int>(state_->running.size());
  if (idle < static_cast<int>(state_->jobs.size()) && state_->threads < state_->max_threads) {
    ++state_->threads;
    std::thread(Work, state_).detach();
  } else {
    state_->wake.notify_one();
  }
  return id;
}

void WorkQueue::Prioritize(const std::string& key) {
  std::lock_guard lock(state_->mutex);
  std::stable_partition(state_->jobs.begin(), state_->jobs.end(),
                        [&key](const State::Queued& q) { return q.key == key; });
}

void WorkQueue::Cancel(JobId id) {
  State::Queued unstarted{};
  std::lock_guard lock(state_->mutex);
  for (auto it = state_->jobs.begin(); it != state_->jobs.end(); ++it) {
    if (it->id == id) {
      unstarted = std::move(*it);
      state_->jobs.erase(it);
      break;
    }
  }
  for (auto& r : state_->running) {
    if (r->id == id) r->cancelled = true;
  }
}

void WorkQueue::Send(Answer answer) {
  std::lock_guard lock(state_->mutex);
  if (!state_->stop) state_->Push({std::move(answer), nullptr});
}

void WorkQueue::Deliver() {
  std::vector<State::Delivery> answers;
  {
    std::lock_guard lock(state_->mutex);
    answers.swap(state_->answers);
  }
  // An answer may open a message box, whose loop delivers the later ones;
  // one that throws is reported and the others still run.
  for (State::Delivery& d : answers) {
    try {
      if (d.error) std::rethrow_exception(d.error);
      if (d.answer) d.answer();
    } catch (...) {
      ReportCurrentException();
    }
  }
}

bool WorkQueue::Busy() const {
  std::lock_guard lock(state_->mutex);
  return !state_->jobs.empty() || !state_->running.empty() || !state_->answers.empty();
}

void WorkQueue::Work(std::shared_ptr<State> state) {
  const bool com = state->com && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
  std::unique_lock lock(state->mutex);
  for (;;) {
    state->wake.wait(lock, [&] { return state->stop || !state->jobs.empty(); });
    if (state->stop) break;
    State::Queued queued = std::move(state->jobs.front());
    state->jobs.pop_front();
    state->running.push_back(queued.running);
    lock.unlock();
    Context context;
    context.running_ = queued.running;
    std::exception_ptr error;
    try {
      queued.job(context);
    } catch (...) {
      error = std::current_exception();
    }
    queued.job = nullptr;
    lock.lock();
    state->running.erase(std::find(state->running.begin(), state->running.end(), queued.running));
    if (error && !state->stop && !queued.running->cancelled) state->Push({nullptr, error});
  }
  --state->threads;
  state->idle.notify_all();
  lock.unlock();
  if (com) CoUninitialize();
}

}  // namespace ui
