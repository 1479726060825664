#pragma once
// A buffer of bytes that its copies share and nobody changes once it is
// filled: one allocation holds the count of its owners and the bytes (the
// library's shared arrays take a second allocation, or bring type
// information for a class of two bases into the exe). Copies may go to
// other threads; the count is atomic. The block comes from malloc, so that
// a buffer filled short of the room it was made with gives the rest back
// where it lies (Shrink).
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>
#include <utility>

namespace korvane {

class SharedBytes {
 public:
  SharedBytes() = default;
  // size bytes, not initialised: filled through data() before any copy.
  explicit SharedBytes(std::size_t size) : block_(new (Allocate(sizeof(Block) + size)) Block) {}
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
      std::free(block_);
    }
  }

  // Keeps the first size bytes only; before any copy is made (the count is
  // made anew, one owner). The bytes stay as they were, the block mostly
  // where it was.
  void Shrink(std::size_t size) {
    if (!block_) return;
    block_->~Block();
    void* const smaller = std::realloc(block_, sizeof(Block) + size);
    block_ = new (smaller ? smaller : block_) Block;
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
  static void* Allocate(std::size_t size) {
    if (void* block = std::malloc(size)) return block;
    throw std::bad_alloc();
  }
  Block* block_ = nullptr;
};

}  // namespace korvane
