// The standard library reports its own checks (a string or vector past its
// largest size, an index out of range, a number that does not parse, a bad
// cast) through these functions. Its own versions throw std::length_error,
// std::out_of_range and the rest, which carry copy-on-write message strings
// and bring that string and every one of those classes into the program
// (about 25 KB). Linked into the exe only (CMake's korvane_exe_runtime),
// these throw:
//   - std::bad_alloc for a length past what a container can hold: it is
//     memory that cannot be had, and is handled as such;
//   - korvane::TextError, with the library's message, for the logic and
//     range checks: every handler of the program catches std::exception and
//     reports what();
//   - the library's own small classes for bad_alloc, bad_cast and the like.
// Every function the library's functexcept object defines is defined here,
// so that object is never linked.
#include <cstdarg>
#include <cstddef>
#include <new>
#include <string>
#include <string_view>
#include <typeinfo>

#include "common/text_error.h"

namespace {

[[noreturn]] void Throw(const char* text) { throw korvane::TextError(text); }

// The library's messages use %s, %zu and %%, nothing else.
[[noreturn]] void ThrowFormatted(const char* format, std::va_list args) {
  korvane::TextError error;
  const char* run = format;
  for (const char* p = format; *p; ++p) {
    if (*p != '%') continue;
    error.Append(std::string_view(run, static_cast<std::size_t>(p - run)));
    if (p[1] == 's') {
      error.Append(va_arg(args, const char*));
      ++p;
    } else if (p[1] == 'z' && p[2] == 'u') {
      char digits[12];
      char* end = digits + sizeof digits;
      char* d = end;
      std::size_t n = va_arg(args, std::size_t);
      do {
        *--d = static_cast<char>('0' + n % 10);
        n /= 10;
      } while (n != 0);
      error.Append(std::string_view(d, static_cast<std::size_t>(end - d)));
      p += 2;
    } else if (p[1] == '%') {
      error.Append("%");
      ++p;
    } else {
      error.Append("%");
    }
    run = p + 1;
  }
  error.Append(run);
  throw error;
}

}  // namespace

namespace std {

void __throw_bad_exception() { throw bad_exception(); }
void __throw_bad_alloc() { throw bad_alloc(); }
void __throw_bad_array_new_length() { throw bad_array_new_length(); }
void __throw_bad_cast() { throw bad_cast(); }
void __throw_bad_typeid() { throw bad_typeid(); }
void __throw_length_error(const char*) { throw bad_alloc(); }
void __throw_logic_error(const char* what) { Throw(what); }
void __throw_domain_error(const char* what) { Throw(what); }
void __throw_invalid_argument(const char* what) { Throw(what); }
void __throw_out_of_range(const char* what) { Throw(what); }
void __throw_runtime_error(const char* what) { Throw(what); }
void __throw_range_error(const char* what) { Throw(what); }
void __throw_overflow_error(const char* what) { Throw(what); }
void __throw_underflow_error(const char* what) { Throw(what); }

void __throw_out_of_range_fmt(const char* format, ...) {
  std::va_list args;
  va_start(args, format);
  ThrowFormatted(format, args);
}

}  // namespace std
