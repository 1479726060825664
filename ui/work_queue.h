#pragma once
// Work the window must never wait for runs on threads of the queue's own. A
// job hands back answers that run later on the window's thread: the queue
// posts `message` to the window when answers are waiting, and the window's
// handler calls Deliver. Jobs never touch the window's state; answers do, on
// its thread. A job that throws ends alone: its error is reported (through
// the toolkit's exception reporter) when the answers are delivered.
//
// With a time limit, a job that has run longer is set aside: its late
// answer (if it has one) is delivered, its thread is no longer counted and
// another takes its place; whatever the job answers when it ends after all
// still comes. Jobs name the root they wait on (a share, a drive): at most
// `per_root` jobs of one root run at once, so a server that never answers
// cannot take every thread; a job queued behind such a root gets its late
// answer once it has waited out the limit.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "common/callback.h"

namespace ui {

class WorkQueue {
 public:
  using Answer = korvane::Callback<void()>;
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
  using Job = korvane::Callback<void(const Context&)>;

  struct Options {
    std::string key;    // what it is about: a group's name, a path
    std::string root;   // what it waits on; empty: nothing counted
    bool urgent = false;  // goes before every job queued so far
    Answer late;        // runs when the job has not ended within the limit
  };

  // Up to max_threads jobs run at once. With com, each thread initialises
  // COM for the shell's sake. A limit (milliseconds) of zero sets no job
  // aside; per_root of zero counts no root.
  WorkQueue(HWND window, UINT message, int max_threads, bool com, unsigned limit_ms = 0, int per_root = 0);
  // Drops the jobs not started and the answers not delivered. A job still
  // running is waited for a moment, then left to end on its own: a lookup
  // on a share that does not answer must not hold up the program's end.
  ~WorkQueue();
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  // Queues a job under a key (what it is about: a group's name, a path).
  // An urgent job goes before every job queued so far. Throws
  // korvane::TextError (queuing nothing) only when no thread could be made
  // to run it.
  JobId Post(std::string key, Job job, bool urgent = false);
  JobId Post(Job job, Options options);
  // The time limit from now on (tests shorten it).
  void SetLimit(unsigned limit_ms);
  // Moves the queued jobs of key before all others, keeping their order.
  void Prioritize(const std::string& key);
  // A job not started yet never runs; a running one sees Cancelled() and
  // its answers (the late one too) are dropped. Answers already waiting
  // still run.
  void Cancel(JobId id);
  // Cancels every job of key.
  void CancelKey(const std::string& key);
  // An answer without a job, from any thread (a COM callback, a worker of
  // someone else's).
  void Send(Answer answer);
  // Runs, on the calling (window) thread, every answer that has arrived and
  // reports the errors of the jobs that failed. An answer may destroy the
  // queue: the answers after it are then dropped.
  void Deliver();
  // True while a job is running within its limit or queued (and not yet
  // given its late answer), or an answer waits.
  bool Busy() const;

  // Tests only: while set, no new thread can be made (as when the system
  // refuses one).
  static void RefuseThreadsForTests(bool refuse);

 private:
  struct State;
  static void Work(std::shared_ptr<State> state);
  static void Watch(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

}  // namespace ui
