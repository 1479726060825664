#include "ui/thread.h"

#include <memory>

namespace ui {

namespace {

DWORD WINAPI Run(void* parameter) {
  const std::unique_ptr<korvane::Callback<void()>> run(static_cast<korvane::Callback<void()>*>(parameter));
  try {
    (*run)();
  } catch (...) {
    // The function was to catch; the thread ends either way.
  }
  return 0;
}

HANDLE Begin(korvane::Callback<void()>&& run) {
  if (!run) return nullptr;
  auto owned = std::make_unique<korvane::Callback<void()>>(std::move(run));
  const HANDLE handle = CreateThread(nullptr, 0, Run, owned.get(), 0, nullptr);
  if (handle) owned.release();  // the thread's now
  return handle;
}

}  // namespace

std::uint64_t Condition::NowMs() {
  // Ticks to milliseconds by a multiplication in floating point (exact to
  // well under a millisecond for years of uptime at any counter
  // frequency): a 64-bit division would bring the runtime's division
  // routines into the exe for this alone.
  static const double ms_per_tick = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? 1000.0 / static_cast<double>(f.QuadPart) : 0.0;
  }();
  LARGE_INTEGER now;
  if (ms_per_tick == 0.0 || !QueryPerformanceCounter(&now) || now.QuadPart < 0) return GetTickCount64();
  return static_cast<std::uint64_t>(static_cast<std::int64_t>(static_cast<double>(now.QuadPart) * ms_per_tick));
}

bool Thread::Start(korvane::Callback<void()> run) {
  Join();
  handle_ = Begin(std::move(run));
  return handle_ != nullptr;
}

void Thread::Join() {
  if (!handle_) return;
  WaitForSingleObject(handle_, INFINITE);
  CloseHandle(handle_);
  handle_ = nullptr;
}

bool Thread::StartDetached(korvane::Callback<void()> run) {
  const HANDLE handle = Begin(std::move(run));
  if (!handle) return false;
  CloseHandle(handle);
  return true;
}

}  // namespace ui
