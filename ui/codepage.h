#pragma once
// Conversions between the program's Shift_JIS byte strings and the UTF-16
// text of Unicode windows. Always code page 932, never an implicit CP_ACP.
#include <string>
#include <string_view>

namespace ui {

inline constexpr unsigned kCodePage = 932;

std::wstring Widen(std::string_view bytes);
// Characters with no code page 932 form become '?'.
std::string Narrow(std::wstring_view text);
// Bytes that `text` takes in code page 932.
std::size_t ByteLength(std::wstring_view text);
// Number of UTF-16 units in the first `byte_offset` bytes of `bytes`; an
// offset inside a double-byte character counts that character as not reached.
std::size_t CharIndexOfByte(std::string_view bytes, std::size_t byte_offset);

}  // namespace ui
