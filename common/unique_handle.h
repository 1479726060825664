#pragma once
// The one owned-handle template of the program: a handle type, the function
// that closes it and the value that means "none". Move-only, explicit get(),
// closed exactly once. Borrowed handles (stock objects, a DC handed in by
// Windows) stay plain handles and are never closed here.
#include <windows.h>

#include <utility>

namespace korvane {

// The "none" of most handle types.
template <typename H>
constexpr H NullHandle() { return H{}; }

// `Close` is called with the handle and answers nonzero on success.
// `Invalid` gives the value of an empty holder; null never names a handle
// either, since some creators answer null and others INVALID_HANDLE_VALUE.
template <typename H, auto Close, H (*Invalid)() = &NullHandle<H>>
class UniqueHandle {
 public:
  using pointer = H;

  UniqueHandle() = default;
  explicit UniqueHandle(H h) : h_(h) {}
  UniqueHandle(UniqueHandle&& other) noexcept : h_(other.release()) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }

  H get() const { return h_; }
  bool is_valid() const { return h_ != Invalid() && h_ != H{}; }
  explicit operator bool() const { return is_valid(); }
  H release() { return std::exchange(h_, Invalid()); }
  // Closes the handle held (if any) and takes `h`; false (last error set)
  // when the close failed.
  bool reset(H h = Invalid()) {
    const H old = std::exchange(h_, h);
    if (old == Invalid() || old == H{}) return true;
    return Close(old) != 0;
  }
  // Closes what is held and answers where a creator may write a new one.
  H* put() {
    reset();
    return &h_;
  }

 private:
  H h_ = Invalid();
};

}  // namespace korvane
