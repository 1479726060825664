#pragma once
// Work the window must never wait for runs on threads of the queue's own. A
// job hands back answers that run later on the window's thread: the queue
// posts `message` to the window when answers are waiting, and the window's
// handler calls Deliver. Jobs never touch the window's state; answers do, on
// its thread. A job that throws ends alone: its error is reported (through
// the toolkit's exception reporter) when the answers are delivered.
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace ui {

class WorkQueue {
 public:
  using Answer = std::function<void()>;
  using JobId = std::uint64_t;

  // What a running job sees of the queue.
  class Context {
   public:
    // Hands an answer to the window's thread; dropped when the job was
    // cancelled or the queue is gone.
    void Reply(Answer answer) const;
    // True once the job was cancelled (or the queue destroyed): a job that
    // can stop early should.
    bool Cancelled() const;

   private:
    friend class WorkQueue;
    struct Running;
    std::shared_ptr<Running> running_;
  };
  using Job = std::function<void(const Context&)>;

  // Up to max_threads jobs run at once. With com, each thread initialises
  // COM for the shell's sake.
  WorkQueue(HWND window, UINT message, int max_threads, bool com);
  // Drops the jobs not started and the answers not delivered. A job still
  // running is waited for a moment, then left to end on its own: a lookup
  // on a share that does not answer must not hold up the program's end.
  ~WorkQueue();
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  // Queues a job under a key (what it is about: a group's name, a path).
  // An urgent job goes before every job queued so far.
  JobId Post(std::string key, Job job, bool urgent = false);
  // Moves the queued jobs of key before all others, keeping their order.
  void Prioritize(const std::string& key);
  // A job not started yet never runs; a running one sees Cancelled() and
  // its answers are dropped. Answers already waiting still run.
  void Cancel(JobId id);
  // An answer without a job, from any thread (a COM callback, a worker of
  // someone else's).
  void Send(Answer answer);
  // Runs, on the calling (window) thread, every answer that has arrived and
  // reports the errors of the jobs that failed.
  void Deliver();
  // True while a job is queued or running, or an answer waits.
  bool Busy() const;

 private:
  struct State;
  static void Work(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

}  // namespace ui
