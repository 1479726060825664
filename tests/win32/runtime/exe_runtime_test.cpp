// The C++ runtime the exe is linked with (CMake's korvane_exe_runtime),
// tried in a program linked the same way: exceptions thrown and caught
// through frames with destructors, the library's own throws (the exe's, from
// common/library_throws.cpp), exceptions carried from a thread to another,
// several threads throwing at once, and a function-local static first
// reached by several threads. No GoogleTest:
// it needs a thread layer the exe's runtime does not have. Prints
// "N passed, N failed"; exits non-zero on a failure.
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <exception>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/text_error.h"
#include "ui/thread.h"

namespace {

int g_passed = 0;
int g_failed = 0;

void Check(bool ok, const char* what) {
  if (ok) {
    ++g_passed;
  } else {
    ++g_failed;
    std::printf("FAILED: %s\n", what);
  }
}

struct Counted {
  explicit Counted(int& n) : n_(n) { ++n_; }
  ~Counted() { --n_; }
  int& n_;
};

[[gnu::noinline]] void ThrowThrough(int depth, int& alive) {
  Counted c(alive);
  if (depth == 0) throw std::runtime_error("deep " + std::to_string(alive));
  ThrowThrough(depth - 1, alive);
}

struct Own : std::logic_error {
  using std::logic_error::logic_error;
};

void Unwinding() {
  int alive = 0;
  std::string message;
  try {
    ThrowThrough(5, alive);
  } catch (const std::exception& e) {
    message = e.what();
  }
  Check(message == "deep 6", "the message of an exception thrown six frames down");
  Check(alive == 0, "every frame's destructor ran on the way up");

  bool by_base = false;
  try {
    try {
      throw Own("own");
    } catch (...) {
      throw;  // rethrown as it is
    }
  } catch (const std::logic_error& e) {
    by_base = std::string(e.what()) == "own" && dynamic_cast<const Own*>(&e) != nullptr;
  }
  Check(by_base, "a rethrown exception caught by its base, its type kept");
}

void LibraryThrows() {
  bool length = false;
  try {
    std::string s;
    s.reserve(s.max_size() + 1);
  } catch (const std::bad_alloc&) {
    length = true;
  }
  Check(length, "std::string past its largest size throws bad_alloc (common/library_throws.cpp)");

  std::string range;
  try {
    std::vector<int> v(3);
    (void)v.at(12345);
  } catch (const korvane::TextError& e) {
    range = e.what();
  }
  Check(range == "vector::_M_range_check: __n (which is 12345) >= this->size() (which is 3)",
        "vector::at throws a TextError with the library's message, its numbers filled in");

  bool memory = false;
  try {
    // Nearly all of a 32-bit process's address space.
    volatile std::size_t huge = 0x7ffffff0;
    std::unique_ptr<char[]> p(new char[huge]);
    memory = p == nullptr;
  } catch (const std::bad_alloc&) {
    memory = true;
  }
  Check(memory, "new throws bad_alloc when memory cannot be had");
}

void AcrossThreads() {
  std::exception_ptr carried;
  ui::Thread thread;
  Check(thread.Start([&carried] {
    try {
      throw std::runtime_error("from a worker");
    } catch (...) {
      carried = std::current_exception();
    }
  }), "a thread starts");
  thread.Join();
  std::string message;
  try {
    if (carried) std::rethrow_exception(carried);
  } catch (const std::exception& e) {
    message = e.what();
  }
  Check(message == "from a worker", "an exception carried from a worker is rethrown on the first thread");

  // Each thread throws and catches many times while the others do: what
  // each catches is its own.
  constexpr int kThreads = 4;
  constexpr int kRounds = 2000;
  std::atomic<int> wrong{0};
  std::atomic<int> caught{0};
  {
    std::vector<std::unique_ptr<ui::Thread>> threads;
    for (int t = 0; t < kThreads; ++t) {
      threads.push_back(std::make_unique<ui::Thread>());
      threads.back()->Start([t, &wrong, &caught] {
        for (int i = 0; i < kRounds; ++i) {
          try {
            try {
              throw t * kRounds + i;
            } catch (int n) {
              if (n != t * kRounds + i) ++wrong;
              throw std::to_string(n);
            }
          } catch (const std::string& s) {
            if (s != std::to_string(t * kRounds + i)) ++wrong;
            ++caught;
          }
        }
      });
    }
  }  // joined here
  Check(caught == kThreads * kRounds, "every throw on four threads at once is caught");
  Check(wrong == 0, "and each catch gets its own thread's exception");
}

std::atomic<int> g_made{0};

struct Slow {
  Slow() {
    ++g_made;
    Sleep(50);
  }
  int value = 42;
};

int ReachStatic() {
  static Slow slow;
  return slow.value;
}

void StaticsOnThreads() {
  std::atomic<int> seen{0};
  {
    ui::Thread a, b, c;
    const auto reach = [&seen] {
      if (ReachStatic() == 42) ++seen;
    };
    a.Start(reach);
    b.Start(reach);
    c.Start(reach);
  }
  Check(g_made == 1, "a function's static is made once when three threads reach it at once");
  Check(seen == 3, "and each of them sees it made");
}

// ui/thread.h's locks: a wait ends on a notify or at its limit, and a lock
// let go in between is held again after.
void Locks() {
  ui::Mutex mutex;
  ui::Condition changed;
  bool ready = false;
  int counter = 0;
  {
    ui::Lock lock(mutex);
    Check(!changed.WaitFor(lock, 20, [&] { return ready; }), "a wait for what never comes ends at its limit, false");
  }
  // The clock the limits are kept by counts milliseconds, as the system's
  // tick count does (whose steps are up to 16 ms).
  {
    const std::uint64_t clock = ui::Condition::NowMs(), ticks = GetTickCount64();
    Sleep(200);
    const std::uint64_t clock_passed = ui::Condition::NowMs() - clock, ticks_passed = GetTickCount64() - ticks;
    Check(clock_passed + 50 >= ticks_passed && clock_passed <= ticks_passed + 50,
          "the clock and the tick count agree on the time a sleep took");
  }
  ui::Thread setter;
  setter.Start([&] {
    Sleep(20);
    ui::Lock lock(mutex);
    ready = true;
    changed.NotifyAll();
  });
  {
    ui::Lock lock(mutex);
    Check(changed.WaitFor(lock, 60000, [&] { return ready; }), "a wait ends true when another thread makes it so");
  }
  setter.Join();
  Check(!setter.Joinable(), "a joined thread is no longer joinable");

  // Two threads add under the lock, one of them letting it go and taking
  // it again each time: no addition is lost.
  {
    ui::Thread a, b;
    const auto add = [&](bool relock) {
      for (int i = 0; i < 20000; ++i) {
        ui::Lock lock(mutex);
        if (relock) {
          lock.Unlock();
          lock.Relock();
        }
        ++counter;
      }
    };
    a.Start([&] { add(false); });
    b.Start([&] { add(true); });
  }
  Check(counter == 40000, "additions under the lock from two threads all count");
  Check(!ui::Thread().Start(nullptr), "a thread with nothing to run is not started");
}

}  // namespace

int main() {
  Locks();
  Unwinding();
  LibraryThrows();
  AcrossThreads();
  StaticsOnThreads();
  std::printf("%d passed, %d failed\n", g_passed, g_failed);
  return g_failed == 0 ? 0 : 1;
}
