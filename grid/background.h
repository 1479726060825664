#pragma once
// Work the window must never wait for (file-existence tests, icon
// extraction, launching: any of them may take seconds on a network share)
// runs on threads of its own. A job hands back answers that run later on
// the window's thread: the queue posts `message` to the window when answers
// are waiting, and the window's handler calls Deliver. Jobs never touch the
// window's state; answers do, on its thread.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace korvane {

class BackgroundQueue {
 public:
  using Answer = std::function<void()>;
  using Reply = std::function<void(Answer)>;
  using Job = std::function<void(const Reply&)>;

  // Up to max_threads jobs run at once. With com, each thread initialises
  // COM for the shell's sake.
  BackgroundQueue(HWND window, UINT message, int max_threads, bool com);
  // Drops the jobs not started and the answers not delivered. A job still
  // running is waited for a moment, then left to end on its own: a lookup
  // on a share that does not answer must not hold up the program's end.
  ~BackgroundQueue();
  BackgroundQueue(const BackgroundQueue&) = delete;
  BackgroundQueue& operator=(const BackgroundQueue&) = delete;

  // Queues a job under a key (what it is about: a group's name, a path).
  // An urgent job goes before every job queued so far.
  void Post(std::string key, Job job, bool urgent = false);
  // Moves the queued jobs of key before all others, keeping their order.
  void Prioritize(const std::string& key);
  // Runs, on the calling (window) thread, every answer that has arrived.
  void Deliver();
  // True while a job is queued or running, or an answer waits.
  bool Busy() const;

 private:
  struct State;
  static void Work(std::shared_ptr<State> state);
  std::shared_ptr<State> state_;
};

}  // namespace korvane
