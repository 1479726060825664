#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace korvane {

ByteClass ClassifyByte(std::string_view text, std::size_t i) {
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return ByteClass::Single;
  return b < 0xC0 ? ByteClass::Trail : ByteClass::Lead;
}

DecodedChar DecodeChar(std::string_view text, std::size_t i) {
  constexpr DecodedChar kBad{0xFFFD, 1};
  const auto b = static_cast<unsigned char>(text[i]);
  if (b < 0x80) return {b, 1};
  std::size_t length = 0;
  char32_t code = 0;
  char32_t least = 0;   // below it the form is overlong
  if (b >= 0xC2 && b <= 0xDF) {
    length = 2, code = b & 0x1F, least = 0x80;
  } else if (b >= 0xE0 && b <= 0xEF) {
    length = 3, code = b & 0x0F, least = 0x800;
  } else if (b >= 0xF0 && b <= 0xF4) {
    length = 4, code = b & 0x07, least = 0x10000;
  } else {
    return kBad;
  }
  if (i + length > text.size()) return kBad;
  for (std::size_t k = 1; k < length; ++k) {
    const auto c = static_cast<unsigned char>(text[i + k]);
    if ((c & 0xC0) != 0x80) return kBad;
    code = code << 6 | (c & 0x3F);
  }
  if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return kBad;
  return {code, length};
}

void AppendUtf8(std::string& out, char32_t code) {
  if (code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) code = 0xFFFD;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | code >> 6);
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | code >> 12);
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | code >> 18);
    out += static_cast<char>(0x80 | (code >> 12 & 0x3F));
    out += static_cast<char>(0x80 | (code >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

std::string ValidUtf8(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      out += text[i++];
      continue;
    }
    const DecodedChar c = DecodeChar(text, i);
    if (c.code == 0xFFFD && c.length == 1) AppendUtf8(out, 0xFFFD);
    else out.append(text, i, c.length);
    i += c.length;
  }
  return out;
}

std::u16string Utf16FromUtf8(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      out += static_cast<char16_t>(utf8[i++]);
      continue;
    }
    const DecodedChar c = DecodeChar(utf8, i);
    if (c.code >= 0x10000) {
      out += static_cast<char16_t>(0xD800 + ((c.code - 0x10000) >> 10));
      out += static_cast<char16_t>(0xDC00 + ((c.code - 0x10000) & 0x3FF));
    } else {
      out += static_cast<char16_t>(c.code);
    }
    i += c.length;
  }
  return out;
}

std::string Utf8FromUtf16(std::u16string_view utf16, bool* exact) {
  if (exact) *exact = true;
  std::string out;
  out.reserve(utf16.size() * 3 / 2);
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t u = utf16[i];
    if (u < 0x80) {
      out += static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
               utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      if (u >= 0xD800 && u <= 0xDFFF && exact) *exact = false;
      AppendUtf8(out, u);   // a lone surrogate becomes U+FFFD
    }
  }
  return out;
}

std::size_t TextUnits(std::string_view utf8) {
  std::size_t units = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++units, ++i;
      continue;
    }
    const DecodedChar c = DecodeChar(utf8, i);
    // A byte that is no well-formed UTF-8 counts 1, so that no text ever
    // counts more units than it has bytes.
    units += c.length == 1 ? 1 : CharUnits(c.code);
    i += c.length;
  }
  return units;
}

std::string CutToUnits(std::string_view utf8, std::size_t n) {
  if (utf8.size() <= n) return std::string(utf8);   // units never exceed bytes
  std::size_t units = 0, i = 0;
  while (i < utf8.size()) {
    std::size_t length = 1, add = 1;
    if (static_cast<unsigned char>(utf8[i]) >= 0x80) {
      const DecodedChar c = DecodeChar(utf8, i);
      length = c.length;
      add = c.length == 1 ? 1 : CharUnits(c.code);
    }
    if (units + add > n) break;
    units += add;
    i += length;
  }
  return std::string(utf8.substr(0, i));
}

std::size_t LastPathSeparator(std::string_view path) {
  // Neither byte occurs inside a longer UTF-8 character.
  return path.find_last_of("\\:");
}

FilterDecision CheckInput(std::string_view text, std::string_view set, bool permitted) {
  const auto in_set = [set](char32_t code) {
    for (std::size_t j = 0; j < set.size();) {
      const DecodedChar s = DecodeChar(set, j);
      if (s.code == code) return true;
      j += s.length;
    }
    return false;
  };
  std::size_t caret = 0;
  for (std::size_t i = 0; i < text.size();) {
    const DecodedChar c = DecodeChar(text, i);
    if (in_set(c.code) != permitted) return {false, caret};
    caret += c.code >= 0x10000 ? 2 : 1;
    i += c.length;
  }
  return {true, 0};
}

namespace {
std::string& LastGood() {
  static std::string text;
  return text;
}
}  // namespace

const std::string& LastGoodText() { return LastGood(); }
void SetLastGoodText(std::string_view text) { LastGood().assign(text); }

char32_t FoldLetter(char32_t c) {
  if (c < 0x80) return c >= 'A' && c <= 'Z' ? c + 0x20 : c;
  if (c >= 0xC0 && c <= 0xDE && c != 0xD7) return c + 0x20;             // À-Þ
  if ((c >= 0x100 && c <= 0x12F) || (c >= 0x132 && c <= 0x137) || (c >= 0x14A && c <= 0x177))
    return c | 1;                                                        // Ā ā, Ĳ ĳ, Ŋ ŋ pairs
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) return c + (c & 1);   // Ĺ ĺ, Ź ź pairs
  if (c == 0x178) return 0xFF;                                           // Ÿ
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 0x20;           // Α-Ω
  if (c >= 0x410 && c <= 0x42F) return c + 0x20;                         // А-Я
  if (c >= 0x400 && c <= 0x40F) return c + 0x50;                         // Ѐ-Џ
  if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;                       // Ａ-Ｚ
  return c;
}

bool NamesEqualNoCase(std::string_view a, std::string_view b) {
#ifdef _WIN32
  const std::u16string wa = Utf16FromUtf8(a), wb = Utf16FromUtf8(b);
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, reinterpret_cast<const wchar_t*>(wa.data()),
                        static_cast<int>(wa.size()), reinterpret_cast<const wchar_t*>(wb.data()),
                        static_cast<int>(wb.size())) == CSTR_EQUAL;
#else
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    const DecodedChar ca = DecodeChar(a, i), cb = DecodeChar(b, j);
    if (FoldLetter(ca.code) != FoldLetter(cb.code)) return false;
    // Two ill-formed bytes are the same only when they are.
    if (ca.code == 0xFFFD && a.substr(i, ca.length) != b.substr(j, cb.length)) return false;
    i += ca.length;
    j += cb.length;
  }
  return i == a.size() && j == b.size();
#endif
}

}  // namespace korvane
