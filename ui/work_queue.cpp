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
// How long a stop waits for a job still running.
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
  int priority = 0;
  unsigned limit_ms = kQueueLimit;
  bool com = false;
  // Under the queue's lock, all of them.
  bool cancelled = false;
  bool set_aside = false;
  bool claimed = false;
  bool late_given = false;  // its late answer was pushed (queued or running)
  TimePoint started = 0;
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

  // Set on the window's thread, read by every thread under the lock.
  HWND window = nullptr;
  UINT message = 0;
  DWORD window_thread = 0;
  int max_threads = 1;
  bool com = false;
  TimePoint limit = 0;  // ms; 0: none
  int per_root = 0;
  mutable Mutex mutex;
  Condition wake;  // a job queued, a root freed, or stop
  Condition idle;  // a job or a thread ended, or jobs were dropped
  std::deque<Queued> jobs;
  std::vector<std::shared_ptr<Context::Running>> running;
  std::unordered_map<std::string, int> roots;  // jobs running per root, set aside too
  std::vector<Delivery> answers;
  JobId next_id = 1;
  int threads = 0;  // threads that take jobs (set aside ones not counted)
  int aside = 0;    // jobs running past the limit
  bool stop = false;
  // The window's thread alone: the limits' timer.
  UINT_PTR timer = 0;

  TimePoint LimitOf(const Context::Running& r) const { return r.limit_ms == kQueueLimit ? limit : r.limit_ms; }

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
    if (first && window) PostMessageW(window, message, 0, 0);
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
  bool AnyClaimed() const {
    return std::any_of(running.begin(), running.end(), [](const auto& r) { return r->claimed; });
  }
  bool Holds(JobId id) const {
    return std::any_of(jobs.begin(), jobs.end(), [id](const Queued& q) { return q.id == id; }) ||
           std::any_of(running.begin(), running.end(), [id](const auto& r) { return r->id == id; });
  }
  // Under the lock: the next job to run, the first of the highest priority
  // whose root takes one more; end() when none can.
  std::deque<Queued>::iterator Next() {
    auto best = jobs.end();
    for (auto it = jobs.begin(); it != jobs.end(); ++it) {
      if (RootFull(it->running->root)) continue;
      if (best == jobs.end() || it->running->priority > best->running->priority) best = it;
    }
    return best;
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
};

namespace {

// The limits' timers by their number, and the queue each belongs to. Only
// the windows' thread uses them.
std::unordered_map<UINT_PTR, std::weak_ptr<WorkQueue::State>>& Timers() {
  static std::unordered_map<UINT_PTR, std::weak_ptr<WorkQueue::State>> timers;
  return timers;
}
UINT_PTR g_next_timer = 0x4B5100;

// Asks the window's thread for a look at the limits: at once when called
// on it, else as an answer.
void RequestTick(const std::shared_ptr<WorkQueue::State>& state, void (*tick)(const std::shared_ptr<WorkQueue::State>&));

}  // namespace

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

bool WorkQueue::Context::Cancelled() const {
  State& state = *running_->state;
  Lock lock(state.mutex);
  return running_->cancelled || state.stop;
}

bool WorkQueue::Context::Claim() const {
  State& state = *running_->state;
  Lock lock(state.mutex);
  if (state.stop || running_->cancelled || running_->set_aside || running_->late_given || running_->claimed)
    return false;
  running_->claimed = true;
  return true;
}

WorkQueue::WorkQueue(HWND window, UINT message, int max_threads, bool com, unsigned limit_ms, int per_root)
    : state_(std::make_shared<State>()) {
  state_->max_threads = max_threads < 1 ? 1 : max_threads;
  state_->com = com;
  state_->limit = limit_ms;
  state_->per_root = per_root;
  if (window) Attach(window, message);
}

WorkQueue::~WorkQueue() { Stop(); }

void WorkQueue::Attach(HWND window, UINT message) {
  {
    Lock lock(state_->mutex);
    state_->window = window;
    state_->message = message;
    state_->window_thread = window ? GetWindowThreadProcessId(window, nullptr) : 0;
    if (window && !state_->answers.empty()) PostMessageW(window, message, 0, 0);
  }
  RequestTick(state_, &WorkQueue::Tick);
}

void WorkQueue::Stop() {
  std::vector<State::Delivery> dropped;
  std::deque<State::Queued> unstarted;
  {
    Lock lock(state_->mutex);
    state_->stop = true;
    unstarted.swap(state_->jobs);
    dropped.swap(state_->answers);
    for (auto& r : state_->running) r->cancelled = true;
    state_->wake.NotifyAll();
    state_->idle.NotifyAll();
    // Jobs set aside are not waited for: they wait on what does not answer.
    state_->idle.WaitFor(lock, kEndWaitMs, [this] { return state_->threads == 0 && !state_->AnyClaimed(); });
    // A job that claimed its step (a program being started) ends it before
    // the window goes, unless it hangs past its limit.
    const DWORD claimed_wait = state_->limit > 0 ? static_cast<DWORD>(state_->limit) : kEndWaitMs;
    state_->idle.WaitFor(lock, claimed_wait, [this] { return !state_->AnyClaimed(); });
  }
  if (state_->timer && state_->window_thread == GetCurrentThreadId()) {
    KillTimer(state_->window, state_->timer);
    Timers().erase(state_->timer);
    state_->timer = 0;
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
  JobId id = 0;
  bool limited = false;
  {
    Lock lock(state_->mutex);
    id = state_->next_id++;
    auto running = std::make_shared<Context::Running>();
    running->id = id;
    running->key = std::move(options.key);
    running->root = std::move(options.root);
    running->late = std::move(options.late);
    running->priority = options.priority;
    running->limit_ms = options.limit_ms;
    running->com = options.com || state_->com;
    running->state = state_;
    limited = state_->LimitOf(*running) > 0;
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
  }
  if (limited) RequestTick(state_, &WorkQueue::Tick);
  return id;
}

bool WorkQueue::Wait(JobId id, unsigned limit_ms) {
  Lock lock(state_->mutex);
  const auto ended = [&] { return !state_->Holds(id); };
  if (limit_ms == INFINITE) {
    state_->idle.Wait(lock, ended);
    return true;
  }
  return state_->idle.WaitFor(lock, limit_ms, ended);
}

void WorkQueue::SetLimit(unsigned limit_ms) {
  {
    Lock lock(state_->mutex);
    state_->limit = limit_ms;
  }
  RequestTick(state_, &WorkQueue::Tick);
}

void WorkQueue::Prioritize(const std::string& key) {
  Lock lock(state_->mutex);
  std::deque<State::Queued> jobs = state_->TakeKey(key);
  // Before all others: as high as the highest queued.
  int top = 0;
  bool any = false;
  for (const State::Queued& q : state_->jobs) {
    top = any ? std::max(top, q.running->priority) : q.running->priority;
    any = true;
  }
  for (State::Queued& q : jobs) q.running->priority = std::max(q.running->priority, top);
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
  state_->idle.NotifyAll();
  lock.Unlock();
}

void WorkQueue::CancelKey(const std::string& key) {
  std::deque<State::Queued> unstarted;  // destroyed after the lock
  Lock lock(state_->mutex);
  unstarted = state_->TakeKey(key);
  for (auto& r : state_->running) {
    if (r->key == key) r->cancelled = true;
  }
  state_->idle.NotifyAll();
  lock.Unlock();
}

void WorkQueue::Send(Answer answer) {
  Lock lock(state_->mutex);
  if (!state_->stop) state_->Push({std::move(answer), nullptr});
}

void WorkQueue::Deliver() {
  // Held here: an answer may destroy the queue (the end of the session,
  // answered from a message box's loop).
  const std::shared_ptr<State> state = state_;
  // The limits are looked at whenever the window takes answers, besides
  // on the timer.
  Tick(state);
  std::vector<State::Delivery> answers;
  {
    Lock lock(state->mutex);
    answers.swap(state->answers);
  }
  const auto stopped = [&state] {
    Lock lock(state->mutex);
    return state->stop;
  };
  // An answer may open a message box, whose loop delivers the later ones;
  // one that throws is reported and the others still run. Each is
  // destroyed once it ran.
  for (State::Delivery& d : answers) {
    if (stopped()) break;
    try {
      if (d.error) std::rethrow_exception(d.error);
      if (d.answer) d.answer();
    } catch (...) {
      ReportCurrentException();
    }
    d = State::Delivery{};
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
    Lock lock(state->mutex);
    bool set_aside = false;
    while (!set_aside) {
      // The first job of the highest priority whose root takes one more.
      auto next = state->jobs.end();
      state->wake.Wait(lock, [&] {
        if (state->stop) return true;
        next = state->Next();
        return next != state->jobs.end();
      });
      if (state->stop) break;
      State::Queued queued = std::move(*next);
      state->jobs.erase(next);
      const std::shared_ptr<Context::Running> running = queued.running;
      running->started = Now();
      state->running.push_back(running);
      if (!running->root.empty()) ++state->roots[running->root];
      lock.Unlock();
      if (running->com && !com) {
        com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE));
      }
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
      running->claimed = false;
      Answer late = std::move(running->late);
      state->wake.NotifyAll();  // its root takes one more
      state->idle.NotifyAll();
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

void CALLBACK WorkQueue::OnTimer(HWND window, UINT, UINT_PTR id, DWORD) {
  const auto it = Timers().find(id);
  const std::shared_ptr<State> state = it == Timers().end() ? nullptr : it->second.lock();
  if (!state) {
    KillTimer(window, id);
    if (it != Timers().end()) Timers().erase(it);
    return;
  }
  try {
    Tick(state);
  } catch (...) {
    // Nothing throws here but a lack of memory: the next post looks again.
  }
}

void WorkQueue::Tick(const std::shared_ptr<State>& state) {
  TimePoint next = kNever;
  const TimePoint now = Now();
  HWND window = nullptr;
  {
    Lock lock(state->mutex);
    window = state->window;
    if (!state->stop) {
      for (const auto& r : state->running) {
        const TimePoint limit = state->LimitOf(*r);
        if (r->set_aside || limit == 0) continue;
        if (now - r->started < limit) {
          next = std::min(next, r->started + limit);
          continue;
        }
        // Set aside: another thread takes its place.
        r->set_aside = true;
        ++state->aside;
        --state->threads;
        if (r->late && !r->cancelled && !r->claimed && !r->late_given) {
          r->late_given = true;
          state->Push({std::move(r->late), nullptr});
        }
      }
      // A queued job's limit begins when it starts, which is now at the
      // soonest: a look then. Jobs queued behind a root that does not
      // answer are looked at one by one (there are none most of the time).
      if (!state->jobs.empty() && state->limit > 0) next = std::min(next, now + state->limit);
      bool dead = false;
      for (const auto& r : state->running) dead = dead || (r->set_aside && state->RootDead(r->root));
      for (State::Queued& q : state->jobs) {
        const TimePoint limit = state->LimitOf(*q.running);
        if (limit == 0) continue;
        if (state->limit == 0) next = std::min(next, now + limit);
        if (!dead || q.late_sent || !q.running->late || !state->RootDead(q.running->root)) continue;
        if (now - q.queued < limit) {
          next = std::min(next, q.queued + limit);
          continue;
        }
        q.late_sent = true;
        q.running->late_given = true;
        state->Push({q.running->late, nullptr});
      }
      if (!state->jobs.empty()) state->Grow(state);
      state->wake.NotifyAll();
    }
  }
  if (!window) return;
  if (next == kNever) {
    if (state->timer) {
      KillTimer(window, state->timer);
      Timers().erase(state->timer);
      state->timer = 0;
    }
    return;
  }
  if (!state->timer) {
    state->timer = g_next_timer++;
    Timers()[state->timer] = state;
  }
  const TimePoint wait = next > now ? next - now : 1;
  SetTimer(window, state->timer, static_cast<UINT>(std::min<TimePoint>(wait, 0x7FFFFFFF)), &WorkQueue::OnTimer);
}

namespace {

void RequestTick(const std::shared_ptr<WorkQueue::State>& state, void (*tick)(const std::shared_ptr<WorkQueue::State>&)) {
  DWORD thread = 0;
  {
    Lock lock(state->mutex);
    if (!state->window || state->stop) return;
    thread = state->window_thread;
    if (thread != GetCurrentThreadId()) {
      std::weak_ptr<WorkQueue::State> weak = state;
      state->Push({[weak, tick] {
                     if (auto s = weak.lock()) tick(s);
                   },
                   nullptr});
      return;
    }
  }
  tick(state);
}

}  // namespace

}  // namespace ui
