#pragma once
// An error that is no more than its text, kept inside the object: thrown
// where a caller needs only what() (every handler of the program catches
// std::exception), without a std::string or the standard library's
// exception classes behind it.
#include <cstddef>
#include <exception>
#include <string_view>

namespace korvane {

class TextError : public std::exception {
 public:
  explicit TextError(std::string_view text = {}) noexcept { Append(text); }
  const char* what() const noexcept override { return text_; }

  // Adds to the text; what does not fit is cut off.
  void Append(std::string_view more) noexcept {
    const std::size_t n = more.size() < kRoom - size_ ? more.size() : kRoom - size_;
    for (std::size_t i = 0; i < n; ++i) text_[size_ + i] = more[i];
    size_ += n;
    text_[size_] = '\0';
  }

 private:
  static constexpr std::size_t kRoom = 159;
  char text_[kRoom + 1];
  std::size_t size_ = 0;
};

}  // namespace korvane
