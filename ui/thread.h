// Threads and locks straight on the system's (CreateThread, SRWLOCK,
// CONDITION_VARIABLE). The exe needs no more than these, and the standard
// library's thread, mutex and condition variable bring a POSIX layer and the
// error classes they throw along with them.
#pragma once

#include <windows.h>

#include <cstdint>

#include "common/callback.h"

namespace ui {

// An exclusive lock. No recursion: the thread that holds it must not take it
// again.
class Mutex {
 public:
  Mutex() = default;
  Mutex(const Mutex&) = delete;
  Mutex& operator=(const Mutex&) = delete;
  void Lock() { AcquireSRWLockExclusive(&lock_); }
  void Unlock() { ReleaseSRWLockExclusive(&lock_); }

 private:
  friend class Condition;
  SRWLOCK lock_ = SRWLOCK_INIT;
};

// Holds a Mutex from its construction to its end, and can let it go and
// take it again in between (Unlock, Lock).
class Lock {
 public:
  explicit Lock(Mutex& mutex) : mutex_(mutex) { mutex_.Lock(); }
  ~Lock() {
    if (held_) mutex_.Unlock();
  }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  void Unlock() {
    held_ = false;
    mutex_.Unlock();
  }
  void Relock() {
    mutex_.Lock();
    held_ = true;
  }

 private:
  friend class Condition;
  Mutex& mutex_;
  bool held_ = true;
};

// A condition variable over a held Lock. Waits may end without a notify:
// callers wait for a condition (the predicate forms) or look again.
class Condition {
 public:
  Condition() = default;
  Condition(const Condition&) = delete;
  Condition& operator=(const Condition&) = delete;
  void NotifyOne() { WakeConditionVariable(&cv_); }
  void NotifyAll() { WakeAllConditionVariable(&cv_); }
  // Waits until notified, at most `ms` milliseconds (INFINITE: no limit).
  void Wait(Lock& lock, DWORD ms = INFINITE) { SleepConditionVariableSRW(&cv_, &lock.mutex_.lock_, ms, 0); }
  template <class Ready>
  void Wait(Lock& lock, Ready ready) {
    while (!ready()) Wait(lock);
  }
  // Waits until `ready` holds or `ms` milliseconds have passed; what `ready`
  // says at the end.
  template <class Ready>
  bool WaitFor(Lock& lock, DWORD ms, Ready ready) {
    const std::uint64_t end = NowMs() + ms;
    while (!ready()) {
      const std::uint64_t now = NowMs();
      if (now >= end) return false;
      Wait(lock, static_cast<DWORD>(end - now));
    }
    return true;
  }

  // Milliseconds of a steady clock (the performance counter), for limits.
  static std::uint64_t NowMs();

 private:
  CONDITION_VARIABLE cv_ = CONDITION_VARIABLE_INIT;
};

// A thread of its own that runs one function. Start is false (nothing runs)
// when the system refuses a thread; Join waits for the end; a Thread still
// running when destroyed is waited for. Detached threads: StartDetached.
// The function must catch what it throws.
class Thread {
 public:
  Thread() = default;
  ~Thread() { Join(); }
  Thread(const Thread&) = delete;
  Thread& operator=(const Thread&) = delete;
  bool Start(korvane::Callback<void()> run);
  bool Joinable() const { return handle_ != nullptr; }
  void Join();
  static bool StartDetached(korvane::Callback<void()> run);

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace ui
