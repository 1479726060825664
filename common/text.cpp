#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane {

bool IsLeadByteValue(unsigned char b) {
#ifdef _WIN32
  return IsDBCSLeadByte(b) != FALSE;
#else
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
#endif
}

ByteClass ClassifyByte(std::string_view text, std::size_t i) {
  std::size_t leads = 0;
  while (leads < i && IsLeadByteValue(static_cast<unsigned char>(text[i - leads - 1]))) ++leads;
  if (leads % 2 == 1) return ByteClass::Trail;
  return IsLeadByteValue(static_cast<unsigned char>(text[i])) ? ByteClass::Lead : ByteClass::Single;
}

std::string TruncateBytes(std::string_view s, std::size_t n) {
  if (n < s.size() && n > 0 && ClassifyByte(s, n - 1) == ByteClass::Lead) --n;
  return std::string(s.substr(0, n));
}

std::size_t LastPathSeparator(std::string_view path) {
  for (std::size_t i = path.size(); i-- > 0;) {
    if ((path[i] == '\\' || path[i] == ':') && ClassifyByte(path, i) != ByteClass::Trail) return i;
  }
  return std::string_view::npos;
}

FilterDecision CheckInput(std::string_view text, std::string_view set, bool permitted) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool found = set.find(text[i]) != std::string_view::npos &&
                       ClassifyByte(text, i) != ByteClass::Trail;
    if (found != permitted) return {false, i};
  }
  return {true, 0};
}

namespace {
std::string& LastGood() {
  static std::string text;
  return text;
}

#ifndef _WIN32
// Folds one character starting at s[i] to a canonical form; returns the
// character's length in bytes.
std::size_t FoldChar(std::string_view s, std::size_t i, unsigned& out) {
  const auto b = static_cast<unsigned char>(s[i]);
  if (IsLeadByteValue(b) && i + 1 < s.size()) {
    unsigned t = static_cast<unsigned char>(s[i + 1]);
    if (b == 0x82 && t >= 0x60 && t <= 0x79) t += 0x21;          // Ａ-Ｚ → ａ-ｚ
    else if (b == 0x83 && t >= 0x9F && t <= 0xB6) t += 0x20;     // Α-Ω → α-ω
    else if (b == 0x84 && t >= 0x40 && t <= 0x60) {              // А-Я → а-я
      t = 0x70 + (t - 0x40);
      if (t >= 0x7F) ++t;                                        // 0x7F is no trail byte
    }
    out = (static_cast<unsigned>(b) << 8) | t;
    return 2;
  }
  out = (b >= 'A' && b <= 'Z') ? b + 0x20u : b;
  return 1;
}
#endif
}  // namespace

const std::string& LastGoodText() { return LastGood(); }
void SetLastGoodText(std::string_view text) { LastGood().assign(text); }

bool NamesEqualNoCase(std::string_view a, std::string_view b) {
#ifdef _WIN32
  return CompareStringA(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.data(), static_cast<int>(a.size()),
                        b.data(), static_cast<int>(b.size())) == CSTR_EQUAL;
#else
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    unsigned ca = 0, cb = 0;
    i += FoldChar(a, i, ca);
    j += FoldChar(b, j, cb);
    if (ca != cb) return false;
  }
  return i == a.size() && j == b.size();
#endif
}

}  // namespace korvane
