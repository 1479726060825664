#include "ui/work_queue.h"

#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/text_error.h"
#include "ui/thread.h"
#include "ui/window.h"

namespace ui {

namespace {
// How long the end of the program waits for a job still running.
constexpr DWORD kEndWaitMs = 300;
std::atomic<bool> g_refuse_threads{false};
// Milliseconds of a steady clock.
using TimePoint = std::uint64_t;
constexpr TimePoint kNever = ~TimePoint{0};
TimePoint Now() { return Condition::NowMs(); }
}  // namespace

struct WorkQueue::Context::Running {
  JobId id = 0;
  std::string key, root;
  std::shared_ptr<State> state;
  std::atomic<bool> cancelled{false};
  TimePoint started = 0;
  bool set_aside = false;  // under the queue's lock
  Answer late;
};

struct WorkQueue::State {
  struct Queued {
    JobId id;
    Job job;
    std::shared_ptr<Context::Running> running;
    TimePoint queued;
    bool late_sent = false;
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
  TimePoint limit;  // ms; 0: none
  int per_root;
  mutable Mutex mutex;
  Condition wake;   // a job queued, a root freed, or stop
  Condition idle;   // a thread ended
  Condition watch;  // a job started, or stop
  std::deque<Queued> jobs;
  std::vector<std::shared_ptr<Context::Running>> running;
  std::unordered_map<std::string, int> roots;  // jobs running per root, set aside too
  std::vector<Delivery> answers;
  JobId next_id = 1;
  int threads = 0;  // threads that take jobs (set aside ones not counted)
  int aside = 0;    // jobs running past the limit
  bool watching = false;
  bool stop = false;

  // Under the lock: takes the queued jobs under `key` out of the queue, the
  // order of both kept. (One pass rather than the library's stable
  // partition, whose instantiations for a deque are several kilobytes.)
  std::deque<Queued> TakeKey(const std::string& key) {
    std::deque<Queued> taken, kept;
    for (Queued& q : jobs) (q.running->key == key ? taken : kept).push_back(std::move(q));
    jobs.swap(kept);
    return taken;
  }

  // Under the lock: queues a delivery and tells the window when it is the
  // first one waiting.
  void Push(Delivery d) {
    const bool first = answers.empty();
    answers.push_back(std::move(d));
    if (first) PostMessageW(window, message, 0, 0);
  }
  bool RootFull(const std::string& root) const {
    if (per_root <= 0 || root.empty()) return false;
    const auto it = roots.find(root);
    return it != roots.end() && it->second >= per_root;
  }
  // Under the lock: a root whose every running job is set aside and which
  // takes no more.
  bool RootDead(const std::string& root) const {
    if (!RootFull(root)) return false;
    for (const auto& r : running) {
      if (r->root == root && !r->set_aside) return false;
    }
    return true;
  }
  // Under the lock: one more thread when every thread is busy, so that the
  // new job does not wait. False when the system refused one.
  bool Grow(const std::shared_ptr<State>& self) {
    const int busy = static_cast<int>(running.size()) - aside;
    if (threads - busy > 0 || threads >= max_threads) return true;
    try {
      if (g_refuse_threads || !Thread::StartDetached([self] { Work(self); })) return false;
    } catch (...) {
      return false;
    }
    // Counted once it exists; it waits for the lock before it looks.
    ++threads;
    return true;
  }
  void EnsureWatch(const std::shared_ptr<State>& self) {
    if (limit == 0 || watching) return;
    try {
      watching = Thread::StartDetached([self] { Watch(self); });
    } catch (...) {
      // Without a watch nothing is set aside; the jobs still run.
    }
  }
};

void WorkQueue::Context::Reply(Answer answer) const {
  State& state = *running_->state;
  Lock lock(state.mutex);
  if (state.stop || running_->cancelled) {
    lock.Unlock();  // dropped outside the lock: an answer may own a handle
    answer = nullptr;
    return;
  }
  state.Push({std::move(answer), nullptr});
}

bool WorkQueue::Context::Cancelled() const { return running_->cancelled || running_->state->stop; }

WorkQueue::WorkQueue(HWND window, UINT message, int max_threads, bool com, unsigned limit_ms, int per_root)
    : state_(std::make_shared<State>()) {
  state_->window = window;
  state_->message = message;
  state_->max_threads = max_threads < 1 ? 1 : max_threads;
  state_->com = com;
  state_->limit = limit_ms;
  state_->per_root = per_root;
}

WorkQueue::~WorkQueue() {
  std::vector<State::Delivery> dropped;
  std::deque<State::Queued> unstarted;
  {
    Lock lock(state_->mutex);
    state_->stop = true;
    unstarted.swap(state_->jobs);
    dropped.swap(state_->answers);
    for (auto& r : state_->running) r->cancelled = true;
    state_->wake.NotifyAll();
    state_->watch.NotifyAll();
    // Jobs set aside are not waited for: they wait on what does not answer.
    state_->idle.WaitFor(lock, kEndWaitMs, [this] { return state_->threads == 0; });
  }
  // Destroyed outside the lock: an answer may own an icon.
}

WorkQueue::JobId WorkQueue::Post(std::string key, Job job, bool urgent) {
  Options options;
  options.key = std::move(key);
  options.urgent = urgent;
  return Post(std::move(job), std::move(options));
}

WorkQueue::JobId WorkQueue::Post(Job job, Options options) {
  Lock lock(state_->mutex);
  const JobId id = state_->next_id++;
  auto running = std::make_shared<Context::Running>();
  running->id = id;
  running->key = std::move(options.key);
  running->root = std::move(options.root);
  running->late = std::move(options.late);
  running->state = state_;
  State::Queued queued{id, std::move(job), std::move(running), Now()};
  const bool urgent = options.urgent;
  if (urgent) state_->jobs.push_front(std::move(queued));
  else state_->jobs.push_back(std::move(queued));
  if (!state_->Grow(state_) && state_->threads == 0) {
    // Nobody would ever run it: it is not queued, and the caller is told.
    if (urgent) state_->jobs.pop_front();
    else state_->jobs.pop_back();
    throw korvane::TextError("no worker thread");
  }
  state_->wake.NotifyAll();
  // A root of dead jobs: the new one waits, and the watch tells when it
  // has waited too long.
  state_->watch.NotifyAll();
  return id;
}

void WorkQueue::SetLimit(unsigned limit_ms) {
  Lock lock(state_->mutex);
  state_->limit = limit_ms;
  state_->watch.NotifyAll();
}

void WorkQueue::Prioritize(const std::string& key) {
  Lock lock(state_->mutex);
  std::deque<State::Queued> jobs = state_->TakeKey(key);
  for (State::Queued& q : state_->jobs) jobs.push_back(std::move(q));
  state_->jobs.swap(jobs);
}

void WorkQueue::Cancel(JobId id) {
  std::vector<State::Queued> unstarted;  // destroyed after the lock
  Lock lock(state_->mutex);
  for (auto it = state_->jobs.begin(); it != state_->jobs.end(); ++it) {
    if (it->id == id) {
      unstarted.push_back(std::move(*it));
      state_->jobs.erase(it);
      break;
    }
  }
  for (auto& r : state_->running) {
    if (r->id == id) r->cancelled = true;
  }
}

void WorkQueue::CancelKey(const std::string& key) {
  std::deque<State::Queued> unstarted;  // destroyed after the lock
  Lock lock(state_->mutex);
  unstarted = state_->TakeKey(key);
  for (auto& r : state_->running) {
    if (r->key == key) r->cancelled = true;
  }
}

void WorkQueue::Send(Answer answer) {
  Lock lock(state_->mutex);
  if (!state_->stop) state_->Push({std::move(answer), nullptr});
}

void WorkQueue::Deliver() {
  // Held here: an answer may destroy the queue (the end of the session,
  // answered from a message box's loop).
  const std::shared_ptr<State> state = state_;
  std::vector<State::Delivery> answers;
  {
    Lock lock(state->mutex);
    answers.swap(state->answers);
  }
  // An answer may open a message box, whose loop delivers the later ones;
  // one that throws is reported and the others still run.
  for (State::Delivery& d : answers) {
    if (state->stop) break;
    try {
      if (d.error) std::rethrow_exception(d.error);
      if (d.answer) d.answer();
    } catch (...) {
      ReportCurrentException();
    }
  }
}

bool WorkQueue::Busy() const {
  Lock lock(state_->mutex);
  // A job queued behind a root that does not answer, its late answer given,
  // waits like one set aside.
  const bool waiting = std::any_of(state_->jobs.begin(), state_->jobs.end(),
                                   [](const State::Queued& q) { return !q.late_sent; });
  return waiting || static_cast<int>(state_->running.size()) > state_->aside || !state_->answers.empty();
}

void WorkQueue::RefuseThreadsForTests(bool refuse) { g_refuse_threads = refuse; }

void WorkQueue::Work(std::shared_ptr<State> state) {
  bool com = false;
  try {
    com = state->com && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
    Lock lock(state->mutex);
    bool set_aside = false;
    while (!set_aside) {
      // The first job whose root takes one more.
      auto next = state->jobs.end();
      state->wake.Wait(lock, [&] {
        if (state->stop) return true;
        next = std::find_if(state->jobs.begin(), state->jobs.end(),
                            [&](const State::Queued& q) { return !state->RootFull(q.running->root); });
        return next != state->jobs.end();
      });
      if (state->stop) break;
      State::Queued queued = std::move(*next);
      state->jobs.erase(next);
      const std::shared_ptr<Context::Running> running = queued.running;
      running->started = Now();
      state->running.push_back(running);
      if (!running->root.empty()) ++state->roots[running->root];
      state->EnsureWatch(state);
      state->watch.NotifyAll();
      lock.Unlock();
      Context context;
      context.running_ = running;
      std::exception_ptr error;
      try {
        queued.job(context);
      } catch (...) {
        error = std::current_exception();
      }
      queued.job = nullptr;
      lock.Relock();
      state->running.erase(std::find(state->running.begin(), state->running.end(), running));
      if (!running->root.empty() && --state->roots[running->root] <= 0) state->roots.erase(running->root);
      if (error && !state->stop && !running->cancelled) state->Push({nullptr, error});
      // Its place was taken when it was set aside: the thread ends.
      set_aside = running->set_aside;
      if (set_aside) --state->aside;
      Answer late = std::move(running->late);
      state->wake.NotifyAll();  // its root takes one more
      lock.Unlock();
      late = nullptr;
      lock.Relock();
    }
    if (!set_aside) --state->threads;
    state->idle.NotifyAll();
  } catch (...) {
    // Nothing throws here but a lack of memory; the thread ends either way.
  }
  if (com) CoUninitialize();
}

void WorkQueue::Watch(std::shared_ptr<State> state) {
  try {
    Lock lock(state->mutex);
    while (!state->stop) {
      const TimePoint now = Now();
      TimePoint next = kNever;
      const auto limit = state->limit;
      for (const auto& r : state->running) {
        if (r->set_aside || limit == 0) continue;
        if (now - r->started < limit) {
          next = std::min(next, r->started + limit);
          continue;
        }
        // Set aside: another thread takes its place.
        r->set_aside = true;
        ++state->aside;
        --state->threads;
        if (r->late && !r->cancelled) state->Push({std::move(r->late), nullptr});
      }
      if (limit > 0) {
        for (State::Queued& q : state->jobs) {
          if (q.late_sent || !q.running->late || !state->RootDead(q.running->root)) continue;
          if (now - q.queued < limit) {
            next = std::min(next, q.queued + limit);
            continue;
          }
          q.late_sent = true;
          state->Push({q.running->late, nullptr});
        }
      }
      if (!state->jobs.empty()) state->Grow(state);
      state->wake.NotifyAll();
      if (next == kNever) {
        state->watch.Wait(lock);
      } else {
        const TimePoint at = Now();
        if (at < next) state->watch.Wait(lock, static_cast<DWORD>(std::min<TimePoint>(next - at, INFINITE - 1)));
      }
    }
    state->watching = false;
  } catch (...) {
    // Nothing throws here but a lack of memory.
  }
}

}  // namespace ui
