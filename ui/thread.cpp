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
  static const std::uint64_t frequency = [] {
    LARGE_INTEGER f;
    return QueryPerformanceFrequency(&f) && f.QuadPart > 0 ? static_cast<std::uint64_t>(f.QuadPart) : 0;
  }();
  LARGE_INTEGER now;
  if (frequency == 0 || !QueryPerformanceCounter(&now)) return GetTickCount64();
  const auto ticks = static_cast<std::uint64_t>(now.QuadPart);
  return ticks / frequency * 1000 + ticks % frequency * 1000 / frequency;
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
