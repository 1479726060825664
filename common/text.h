#pragma once
// Byte-level helpers for code page 932 (Shift_JIS) text. Every length and
// position counts bytes; a double-byte character is never split.
#include <cstddef>
#include <string>
#include <string_view>

namespace korvane {

enum class ByteClass { Single, Lead, Trail };

// True when b has a lead-byte value: on Windows the system code page decides,
// elsewhere the code page 932 ranges 0x81-0x9F and 0xE0-0xFC. Zero never is.
bool IsLeadByteValue(unsigned char b);

// Class of text[i], decided by the count of lead-valued bytes directly in
// front of it (odd: trail byte), so no walk from the start is needed.
ByteClass ClassifyByte(std::string_view text, std::size_t i);

// At most the first n bytes of s, one byte fewer when byte n (1-based) is a
// lead byte. n of 0 gives the empty string.
std::string TruncateBytes(std::string_view s, std::size_t n);

// Offset of the last '\\' or ':' that is not a trail byte, or npos.
std::size_t LastPathSeparator(std::string_view path);

// Outcome of checking an edit box's text against a character set.
struct FilterDecision {
  bool pass = true;        // text is clean: it becomes the last good text
  std::size_t caret = 0;   // on a violation: caret offset (bytes) to restore
};

// permitted == false: set lists forbidden bytes; true: set lists the only
// allowed bytes. A trail byte never matches a member of the set.
FilterDecision CheckInput(std::string_view text, std::string_view set, bool permitted);

// The one "last good text" of the process, shared by every filtered box.
const std::string& LastGoodText();
void SetLastGoodText(std::string_view text);

// Case-insensitive name equality used to find a group: on Windows the
// system's locale-aware comparison; elsewhere ASCII letters in single-byte
// positions plus full-width Latin, Greek and Cyrillic letters of code page 932.
bool NamesEqualNoCase(std::string_view a, std::string_view b);

}  // namespace korvane
