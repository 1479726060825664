#pragma once
// Text helpers. The program keeps all its text in UTF-8 (std::string):
// titles, paths, group names, settings values, messages. Code page 932
// exists only in the files (group files, settings file), UTF-16 only at the
// system's calls; the conversions for both edges are here.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace korvane {

// ---------------------------------------------------------------- UTF-8

enum class ByteClass { Single, Lead, Trail };

// Class of text[i] in UTF-8: Single for ASCII (never part of a longer
// character, so a '\\', ':' or '.' found byte by byte is that character),
// Trail for a continuation byte (80-BF), Lead for any other byte.
ByteClass ClassifyByte(std::string_view text, std::size_t i);

// One character of UTF-8 text: its code point and its length in bytes. A
// byte that starts no well-formed sequence (stray continuation, overlong
// form, surrogate, beyond U+10FFFF, cut short) is one character U+FFFD of
// one byte.
struct DecodedChar {
  char32_t code = 0;
  std::size_t length = 1;
};
DecodedChar DecodeChar(std::string_view text, std::size_t i);

// UTF-8 of one code point (U+FFFD for a surrogate or beyond U+10FFFF).
void AppendUtf8(std::string& out, char32_t code);

// text with every byte that starts no well-formed sequence replaced by
// U+FFFD; well-formed text comes back unchanged.
std::string ValidUtf8(std::string_view text);

// ---------------------------------------------------------------- UTF-16

// UTF-8 to UTF-16; what is not well formed becomes U+FFFD (one per byte).
std::u16string Utf16FromUtf8(std::string_view utf8);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD, and exact (when
// given) is then false: such a name cannot be spelled in UTF-8.
std::string Utf8FromUtf16(std::u16string_view utf16, bool* exact = nullptr);

// ---------------------------------------------------------------- code page 932

// Code page 932 as Windows has it (Microsoft's table: 0x5C is '\\', 0x8160
// is U+FF5E), from the system's converter: MultiByteToWideChar and
// WideCharToMultiByte on Windows, iconv's "CP932" elsewhere. False when the
// system has none: then only ASCII converts.
bool Cp932Available();

// True when text converts to code page 932 with no default character and no
// best-fit look-alike, and back to the same text: U+301C WAVE DASH, "é",
// "𠮷" and ill-formed UTF-8 do not fit.
bool FitsCodePage932(std::string_view utf8);
// The code page 932 bytes of text, or nullopt when it does not fit.
std::optional<std::string> Cp932FromUtf8(std::string_view utf8);
// UTF-8 of code page 932 bytes. A byte, or a lead byte with its trail
// byte, that is no character of the code page becomes U+30FB ("・"), as
// Windows converts it; a lead byte at the end stands alone.
std::string Utf8FromCp932(std::string_view cp932);
// The same written at out, which has room for three bytes a byte of cp932
// and one more (what may be written past the text is garbage); answers the
// length of the text.
std::size_t WriteUtf8FromCp932(std::string_view cp932, char* out);
// Length of the code page 932 character at bytes[i]: 2 for a lead byte
// (81-9F, E0-FC) with a byte after it, else 1.
std::size_t Cp932CharLength(std::string_view bytes, std::size_t i);

// ---------------------------------------------------------------- limits

// The program's length limits (title, group name, path, value, report line)
// count units: a character that fits code page 932 counts its bytes there
// (1 or 2), any other character 2 per UTF-16 code unit (4 for a surrogate
// pair). Text that fits the code page counts what its bytes did, and a
// path of n units is at most n UTF-16 units.
std::size_t CharUnits(char32_t code);
std::size_t TextUnits(std::string_view utf8);

// The longest start of text within n units, never cutting a character (a
// surrogate pair included). n of 0 gives the empty string.
std::string CutToUnits(std::string_view utf8, std::size_t n);
// The name the Windows side still calls: CutToUnits.
inline std::string TruncateBytes(std::string_view utf8, std::size_t n) { return CutToUnits(utf8, n); }

// Offset of the last '\\' or ':', or npos.
std::size_t LastPathSeparator(std::string_view path);

// ---------------------------------------------------------------- input

// Outcome of checking an edit box's text against a character set.
struct FilterDecision {
  bool pass = true;        // text is clean: it becomes the last good text
  // On a violation: the caret to restore, in UTF-16 units (what a wide
  // edit box counts), before the first offending character.
  std::size_t caret = 0;
};

// permitted == false: set lists forbidden characters; true: set lists the
// only allowed ones. Both are UTF-8 and compared character by character.
FilterDecision CheckInput(std::string_view text, std::string_view set, bool permitted);

// The one "last good text" of the process, shared by every filtered box.
const std::string& LastGoodText();
void SetLastGoodText(std::string_view text);

// Case-insensitive name equality used to find a group: on Windows the
// system's locale-aware comparison of the UTF-16 text; elsewhere letters
// folded by code point (ASCII, Latin-1, Latin Extended-A, Greek, Cyrillic,
// full-width Latin).
bool NamesEqualNoCase(std::string_view a, std::string_view b);

// The lower-case form of a letter of those ranges; anything else as is.
char32_t FoldLetter(char32_t code);

}  // namespace korvane
