#pragma once
// The program's one pool of workers, and its one way back to the window's
// thread. Work the window must never wait for runs on the pool's threads;
// a job hands back answers that run later on the window's thread: the pool
// posts `message` to the window when answers are waiting, and the window's
// handler calls Deliver. Anything else that must run later on the window's
// thread (an answer from another thread, a step put off until the window
// shows) goes the same way, through Send: each answer runs once, in the
// order sent, and is destroyed after it ran. Jobs never touch the window's
// state; answers do, on its thread. A job that throws ends alone: its error
// is reported (through the toolkit's exception reporter) when the answers
// are delivered.
//
// Jobs have a priority (the highest queued runs first; the same priority
// in the order queued) and may name the root they wait on (a share, a
// drive): at most `per_root` jobs of one root run at once, so a server that
// never answers cannot take every thread. A job may have a time limit: one
// that has run longer is set aside: its late answer (if it has one) is
// delivered, its thread is no longer counted and another takes its place;
// whatever the job answers when it ends after all still comes. A job queued
// behind a root whose running jobs are all set aside gets its late answer
// once it has waited out its limit. The limits are kept by one timer on the
// window's thread: a window that does not take its messages sets nothing
// aside (and could not run a late answer either).
//
// Everything the threads share is the pool's, behind its one lock.
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
    // True once the job was cancelled (or the queue stopped): a job that
    // can stop early should.
    bool Cancelled() const;
    // For a job about to do what cannot be taken back (start a program):
    // true, once, when it was neither cancelled nor set aside and the queue
    // is not stopping; from then on its late answer never comes, and the
    // queue's Stop waits (within its limit) for the job to end. False: the
    // job must not go on.
    bool Claim() const;

   private:
    friend class WorkQueue;
    struct Running;
    std::shared_ptr<Running> running_;
  };
  using Job = korvane::Callback<void(const Context&)>;

  // The queue's own limit, for Options::limit_ms.
  static constexpr unsigned kQueueLimit = ~0u;

  struct Options {
    std::string key;    // what it is about: a group's name, a path
    std::string root;   // what it waits on; empty: nothing counted
    bool urgent = false;  // goes before every job of its priority queued so far
    int priority = 0;     // higher runs first
    // Milliseconds; kQueueLimit: the queue's (SetLimit); 0: none.
    unsigned limit_ms = kQueueLimit;
    bool com = false;   // the thread initialises COM first (once)
    Answer late;        // runs when the job has not ended within the limit
  };

  // Up to max_threads jobs run at once. With com, every job's thread
  // initialises COM for the shell's sake. A limit (milliseconds) of zero
  // sets no job aside; per_root of zero counts no root. `window` may be
  // null: the answers wait until Attach names one.
  WorkQueue(HWND window, UINT message, int max_threads, bool com, unsigned limit_ms = 0, int per_root = 0);
  // Stops (below).
  ~WorkQueue();
  WorkQueue(const WorkQueue&) = delete;
  WorkQueue& operator=(const WorkQueue&) = delete;

  // The window the answers go to, and its message (a queue made before its
  // window).
  void Attach(HWND window, UINT message);
  // Drops the jobs not started and the answers not delivered; no job
  // starts and no answer is taken any more. A job still running is waited
  // for a moment (a claimed one up to the limit), then left to end on its
  // own: a lookup on a share that does not answer must not hold up the
  // program's end.
  void Stop();

  // Queues a job under a key (what it is about: a group's name, a path).
  // An urgent job goes before every job queued so far. Throws
  // korvane::TextError (queuing nothing) only when no thread could be made
  // to run it. Jobs with a time limit are posted on the window's thread.
  JobId Post(std::string key, Job job, bool urgent = false);
  JobId Post(Job job, Options options);
  // Waits (on any thread but a worker's) until the job has ended or was
  // dropped, at most limit_ms milliseconds; true when it has.
  bool Wait(JobId id, unsigned limit_ms = INFINITE);
  // The queue's time limit from now on (tests shorten it).
  void SetLimit(unsigned limit_ms);
  // Moves the queued jobs of key before all others, keeping their order.
  void Prioritize(const std::string& key);
  // A job not started yet never runs; a running one sees Cancelled() and
  // its answers (the late one too) are dropped. Answers already waiting
  // still run.
  void Cancel(JobId id);
  // Cancels every job of key.
  void CancelKey(const std::string& key);
  // An answer without a job, from any thread (a COM callback, the folder
  // watch, a step put off on the window's own thread).
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

  // What the queue, its threads and its timer share (opaque).
  struct State;

 private:
  static void Work(std::shared_ptr<State> state);
  static void CALLBACK OnTimer(HWND window, UINT, UINT_PTR id, DWORD);
  // On the window's thread: sets aside what passed its limit and sets the
  // timer for the next limit.
  static void Tick(const std::shared_ptr<State>& state);
  std::shared_ptr<State> state_;
};

}  // namespace ui
