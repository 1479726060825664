#pragma once
// A buffer of bytes that its copies share and nobody changes once it is
// filled: one allocation holds the count of its owners and the bytes (the
// library's shared arrays take a second allocation, or bring type
// information for a class of two bases into the exe). Copies may go to
// other threads; the count is atomic.
#include <atomic>
#include <cstddef>
#include <new>
#include <utility>

namespace korvane {

class SharedBytes {
 public:
  SharedBytes() = default;
  // size bytes, not initialised: filled through data() before any copy.
  explicit SharedBytes(std::size_t size) : block_(new (::operator new(sizeof(Block) + size)) Block) {}
  SharedBytes(const SharedBytes& other) noexcept : block_(other.block_) {
    if (block_) block_->owners.fetch_add(1, std::memory_order_relaxed);
  }
  SharedBytes(SharedBytes&& other) noexcept : block_(std::exchange(other.block_, nullptr)) {}
  SharedBytes& operator=(SharedBytes other) noexcept {
    std::swap(block_, other.block_);
    return *this;
  }
  ~SharedBytes() {
    if (block_ && block_->owners.fetch_sub(1, std::memory_order_acq_rel) == 1) {
      block_->~Block();
      ::operator delete(block_);
    }
  }

  char* data() const { return block_ ? reinterpret_cast<char*>(block_ + 1) : nullptr; }
  explicit operator bool() const { return block_ != nullptr; }
  // The same buffer (not merely the same bytes).
  bool operator==(const SharedBytes& other) const { return block_ == other.block_; }

 private:
  // The bytes follow the count unaligned (their readers copy with memcpy).
  // Not aligned to std::max_align_t: under MinGW its alignment depends on
  // which header defined it first (16 after <atomic> or <string>, 8 after
  // <cstddef>), so objects of one program disagreed on where the bytes
  // begin.
  struct Block {
    std::atomic<std::size_t> owners{1};
  };
  static_assert(sizeof(Block) == sizeof(std::atomic<std::size_t>), "the bytes begin right after the count");
  Block* block_ = nullptr;
};

}  // namespace korvane
