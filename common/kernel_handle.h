#pragma once
// Owned kernel handles: files, mutexes (CloseHandle) and directory searches
// (FindClose). Move-only; both null and INVALID_HANDLE_VALUE mean none, since
// CreateFile and FindFirstFile answer the one and CreateMutex the other.
#include <windows.h>

#include <utility>

namespace korvane {

template <typename Closer>
class KernelHandleOf {
 public:
  KernelHandleOf() = default;
  explicit KernelHandleOf(HANDLE h) : h_(h) {}
  KernelHandleOf(KernelHandleOf&& other) noexcept : h_(std::exchange(other.h_, nullptr)) {}
  KernelHandleOf& operator=(KernelHandleOf&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = std::exchange(other.h_, nullptr);
    }
    return *this;
  }
  KernelHandleOf(const KernelHandleOf&) = delete;
  KernelHandleOf& operator=(const KernelHandleOf&) = delete;
  ~KernelHandleOf() { reset(); }

  HANDLE get() const { return h_; }
  explicit operator bool() const { return h_ && h_ != INVALID_HANDLE_VALUE; }
  // Closes now; false (last error set) when the close fails.
  bool reset() {
    const HANDLE h = std::exchange(h_, nullptr);
    return !h || h == INVALID_HANDLE_VALUE || Closer::Close(h);
  }

 private:
  HANDLE h_ = nullptr;
};

struct HandleCloser { static bool Close(HANDLE h) { return CloseHandle(h) != FALSE; } };
struct FindCloser { static bool Close(HANDLE h) { return FindClose(h) != FALSE; } };

using KernelHandle = KernelHandleOf<HandleCloser>;
using FindHandle = KernelHandleOf<FindCloser>;

}  // namespace korvane
