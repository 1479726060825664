// Code page 932 by table: the table is asked of the system's converter once,
// at the first use, so that every later conversion is a lookup and the
// answers are the system's own.
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

#include "common/text.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

namespace korvane {

namespace {

constexpr char16_t kNone = 0xFFFF;          // no character (U+FFFF is none of the code page's)
constexpr char16_t kNoCharacter = 0x30FB;   // what Windows gives for bytes that are no character

bool IsLead(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
bool IsTrail(unsigned char b) { return b >= 0x40 && b <= 0xFC && b != 0x7F; }

// The system's converter, one call per question.
class Converter {
 public:
#ifdef _WIN32
  bool Works() const { return IsValidCodePage(932) != FALSE; }
  // The UTF-16 of bytes, or empty when any byte sequence is no character.
  std::u16string ToWide(std::string_view bytes) const {
    const int n = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                                      nullptr, 0);
    if (n <= 0) return {};
    std::wstring out(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return std::u16string(out.begin(), out.end());
  }
  // The code page's bytes for one UTF-16 unit, exactly or empty.
  std::string ToBytes(char16_t unit) const {
    const wchar_t wide = static_cast<wchar_t>(unit);
    char out[4] = {};
    BOOL used_default = FALSE;
    const int n = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, &wide, 1, out, sizeof out, nullptr, &used_default);
    if (n <= 0 || used_default) return {};
    return std::string(out, static_cast<std::size_t>(n));
  }
#else
  Converter() : to_wide_(::iconv_open("UTF-16LE", "CP932")), to_bytes_(::iconv_open("CP932", "UTF-16LE")) {}
  ~Converter() {
    if (to_wide_ != kFailed) ::iconv_close(to_wide_);
    if (to_bytes_ != kFailed) ::iconv_close(to_bytes_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;
  bool Works() const { return to_wide_ != kFailed && to_bytes_ != kFailed; }
  std::u16string ToWide(std::string_view bytes) const {
    const std::string out = Run(to_wide_, bytes);
    std::u16string wide(out.size() / 2, u'\0');
    for (std::size_t i = 0; i < wide.size(); ++i)
      wide[i] = static_cast<char16_t>(static_cast<unsigned char>(out[2 * i]) |
                                      static_cast<unsigned char>(out[2 * i + 1]) << 8);
    return wide;
  }
  std::string ToBytes(char16_t unit) const {
    const char in[2] = {static_cast<char>(unit & 0xFF), static_cast<char>(unit >> 8)};
    return Run(to_bytes_, std::string_view(in, 2));
  }

 private:
  static inline const iconv_t kFailed = reinterpret_cast<iconv_t>(-1);
  // All of in converted, or empty: no transliteration is asked for, so a
  // character without a counterpart fails.
  static std::string Run(iconv_t cd, std::string_view in) {
    ::iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(in.size() * 2 + 8, '\0');
    char* src = const_cast<char*>(in.data());
    std::size_t src_left = in.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    const std::size_t r = ::iconv(cd, &src, &src_left, &dst, &dst_left);
    if (r != 0 || src_left != 0) return {};
    out.resize(out.size() - dst_left);
    return out;
  }
  iconv_t to_wide_, to_bytes_;
#endif
};

// Where a double-byte code's character is kept: 60 lead bytes by 189 trail
// bytes (40-FC), 23 kB that stay in the cache.
constexpr unsigned kTrails = 0xFC - 0x40 + 1;
inline unsigned PairIndex(unsigned lead, unsigned trail) {
  return (lead <= 0x9F ? lead - 0x81 : lead - 0xE0 + 31) * kTrails + (trail - 0x40);
}

// The row of each lead byte in PairIndex's order, kNoRow for other bytes.
constexpr unsigned kNoRow = 0xFF;
constexpr std::array<unsigned char, 0x100> kRowOf = [] {
  std::array<unsigned char, 0x100> rows{};
  for (unsigned b = 0; b < 0x100; ++b)
    rows[b] = static_cast<unsigned char>(b >= 0x81 && b <= 0x9F ? b - 0x81 : b >= 0xE0 && b <= 0xFC ? b - 0xE0 + 31 : kNoRow);
  return rows;
}();

struct Table {
  Table() = default;
  Table(Table&&) = default;
  Table(const Table&) = delete;
  bool available = false;
  // The character of each single byte, and of each double-byte code at
  // PairIndex.
  std::array<char16_t, 0x100> single{};
  std::vector<char16_t> pairs = std::vector<char16_t>(60 * kTrails, kNone);
  char16_t Wide(unsigned c) const { return c < 0x100 ? single[c] : pairs[PairIndex(c >> 8, c & 0xFF)]; }
  void SetWide(unsigned c, char16_t u) {
    if (u >= 0xD800 && u <= 0xDFFF) u = kNone;   // a character beyond the BMP is none the code page has
    (c < 0x100 ? single[c] : pairs[PairIndex(c >> 8, c & 0xFF)]) = u;
  }
  // The code of each BMP character that has one, or kNone.
  std::vector<std::uint16_t> code = std::vector<std::uint16_t>(0x10000, kNone);
  // The UTF-8 of each code's character ("・" for none), its bytes from the
  // lowest and its length in the top byte: what a read converts (a lead
  // byte alone reads as none). Pairs by lead byte row and the whole trail
  // byte: 0 where that byte is no trail byte, so one look-up both checks and
  // converts; a last row of zeros for the bytes that lead nothing.
  std::array<std::uint32_t, 0x100> single_utf8{};
  std::vector<std::uint32_t> pairs_utf8 = std::vector<std::uint32_t>(61 * 0x100, 0);
  // Each byte's row of pairs_utf8: any byte and the next are looked up as a
  // pair without asking first whether the byte leads. (They point into the
  // vector's buffer, which a move keeps; the table is never copied.)
  std::array<const std::uint32_t*, 0x100> pairs_row{};
};

constexpr std::uint32_t PackedUtf8(char16_t u) {
  if (u == kNone) u = kNoCharacter;
  if (u < 0x80) return 1u << 24 | u;
  if (u < 0x800) return 2u << 24 | (0x80u | (u & 0x3F)) << 8 | (0xC0u | u >> 6);
  return 3u << 24 | (0x80u | (u & 0x3F)) << 16 | (0x80u | (u >> 6 & 0x3F)) << 8 | (0xE0u | u >> 12);
}

// Asked of the system once: kept out of line, so that Cp932() is small
// enough to be taken into every conversion.
[[gnu::noinline, gnu::cold]] Table Build() {
  Table t;
  t.single.fill(kNone);
  const Converter converter;
  if (!converter.Works()) return t;
  t.available = true;
  for (unsigned b = 0; b < 0x100; ++b) {
    if (IsLead(static_cast<unsigned char>(b))) continue;
    const char byte = static_cast<char>(b);
    const std::u16string w = converter.ToWide(std::string_view(&byte, 1));
    if (w.size() == 1) t.SetWide(b, w[0]);
  }
  // A row of double-byte characters in one call where every pair is one;
  // pair by pair where some are none.
  std::string row;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(static_cast<unsigned char>(lead))) continue;
    row.clear();
    std::vector<unsigned> trails;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (!IsTrail(static_cast<unsigned char>(trail))) continue;
      row += static_cast<char>(lead);
      row += static_cast<char>(trail);
      trails.push_back(trail);
    }
    const std::u16string w = converter.ToWide(row);
    if (w.size() == trails.size()) {
      for (std::size_t k = 0; k < trails.size(); ++k) t.SetWide(lead << 8 | trails[k], w[k]);
      continue;
    }
    for (std::size_t k = 0; k < trails.size(); ++k) {
      const std::u16string one = converter.ToWide(std::string_view(row).substr(2 * k, 2));
      if (one.size() == 1) t.SetWide(lead << 8 | trails[k], one[0]);
    }
  }
  // Back: a character of one code takes it; one of several codes (NEC and
  // IBM duplicates) takes the code the system writes for it.
  std::vector<char16_t> shared;
  for (unsigned c = 0; c < 0x10000; ++c) {
    if (c >= 0x100 && (!IsLead(static_cast<unsigned char>(c >> 8)) || !IsTrail(static_cast<unsigned char>(c & 0xFF))))
      continue;
    const char16_t u = t.Wide(c);
    if (u == kNone) continue;
    if (t.code[u] == kNone) {
      t.code[u] = static_cast<std::uint16_t>(c);
    } else if (t.code[u] != c) {
      shared.push_back(u);
    }
  }
  for (const char16_t u : shared) {
    const std::string bytes = converter.ToBytes(u);
    unsigned c = kNone;
    if (bytes.size() == 1) c = static_cast<unsigned char>(bytes[0]);
    if (bytes.size() == 2) c = static_cast<unsigned char>(bytes[0]) << 8 | static_cast<unsigned char>(bytes[1]);
    // Only a code that reads back as the character is taken.
    if (c != kNone && (c < 0x100 || (IsLead(static_cast<unsigned char>(c >> 8)) && IsTrail(static_cast<unsigned char>(c & 0xFF)))) &&
        t.Wide(c) == u)
      t.code[u] = static_cast<std::uint16_t>(c);
  }
  for (unsigned b = 0; b < 0x100; ++b) t.single_utf8[b] = PackedUtf8(t.single[b]);
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!IsLead(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0x40; trail <= 0xFC; ++trail) {
      if (IsTrail(static_cast<unsigned char>(trail)))
        t.pairs_utf8[PairIndex(lead, 0x40) / kTrails * 0x100 + trail] = PackedUtf8(t.pairs[PairIndex(lead, trail)]);
    }
  }
  for (unsigned b = 0; b < 0x100; ++b)
    t.pairs_row[b] = t.pairs_utf8.data() + (kRowOf[b] != kNoRow ? kRowOf[b] : 60) * 0x100;
  return t;
}

// On the heap, built at the first use: a function's static object of the
// exe lies in its data section, zeros and all (2.6 KB of the file).
const Table& Cp932() {
  static const Table* const table = new Table(Build());
  return *table;
}

// The code of a code point, or kNone.
unsigned CodeOf(const Table& t, char32_t code) {
  if (code < 0x80) return static_cast<unsigned>(code);
  if (code > 0xFFFF) return kNone;
  return t.code[code];
}

}  // namespace

bool Cp932Available() { return Cp932().available; }

std::size_t Cp932CharLength(std::string_view bytes, std::size_t i) {
  return IsLead(static_cast<unsigned char>(bytes[i])) && i + 1 < bytes.size() ? 2 : 1;
}

std::size_t CharUnits(char32_t code) {
  if (code < 0x80) return 1;
  const unsigned c = CodeOf(Cp932(), code);
  if (c != kNone) return c < 0x100 ? 1 : 2;
  return code >= 0x10000 ? 4 : 2;
}

std::optional<std::string> Cp932FromUtf8(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  const Table* t = nullptr;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      out += static_cast<char>(b);
      ++i;
      continue;
    }
    if (!t) t = &Cp932();
    const DecodedChar ch = DecodeChar(utf8, i);
    if (ch.length == 1) return std::nullopt;   // no well-formed UTF-8
    const unsigned c = CodeOf(*t, ch.code);
    if (c == kNone) return std::nullopt;
    if (c >= 0x100) out += static_cast<char>(c >> 8);
    out += static_cast<char>(c & 0xFF);
    i += ch.length;
  }
  return out;
}

bool FitsCodePage932(std::string_view utf8) {
  const Table* t = nullptr;
  for (std::size_t i = 0; i < utf8.size();) {
    if (static_cast<unsigned char>(utf8[i]) < 0x80) {
      ++i;
      continue;
    }
    if (!t) t = &Cp932();
    const DecodedChar ch = DecodeChar(utf8, i);
    if (ch.length == 1 || CodeOf(*t, ch.code) == kNone) return false;
    i += ch.length;
  }
  return true;
}

// A half-width katakana takes one byte in and three out. Every character is
// written as four bytes whatever its length (the fourth is the length): the
// bytes read for it left room for three, out has one to spare, and what is
// past the character is overwritten or cut off.
std::size_t WriteUtf8FromCp932(std::string_view cp932, char* out) {
  char* to = out;
  const auto* from = reinterpret_cast<const unsigned char*>(cp932.data());
  const auto* const end = from + cp932.size();
  const Table& t = Cp932();
  const auto put = [&to](std::uint32_t packed) {
    if constexpr (std::endian::native == std::endian::little) {
      std::memcpy(to, &packed, sizeof packed);
    } else {
      to[0] = static_cast<char>(packed & 0xFF);
      to[1] = static_cast<char>(packed >> 8 & 0xFF);
      to[2] = static_cast<char>(packed >> 16 & 0xFF);
    }
    to += packed >> 24;
  };
  // Every byte but the last has a next byte to be looked up with.
  while (end - from >= 2) {
    const unsigned char b = *from;
    if (b < 0x80) {
      if (end - from < 8) {
        *to++ = static_cast<char>(*from++);
        continue;
      }
      // The ASCII from here eight bytes at a time: each word is stored whole
      // and kept up to its first byte beyond ASCII (out has room: every
      // byte read left three).
      std::uint64_t word;
      std::memcpy(&word, from, sizeof word);
      const std::uint64_t high = word & 0x8080808080808080ull;
      std::memcpy(to, &word, sizeof word);
      if (high == 0) {
        from += 8;
        to += 8;
        continue;
      }
      const int ascii =
          (std::endian::native == std::endian::little ? std::countr_zero(high) : std::countl_zero(high)) / 8;
      from += ascii;
      to += ascii;
      continue;
    }
    // A pair, or the byte alone: a lead byte before a byte that is no trail
    // byte stands alone, as none. (A branch, mostly taken and well
    // predicted, keeps the next character's look-up from waiting for this
    // one's; choosing without one made the conversion three times slower.)
    const std::uint32_t pair = t.pairs_row[b][from[1]];
    if (pair != 0) {
      put(pair);
      from += 2;
    } else {
      put(t.single_utf8[b]);
      ++from;
    }
  }
  if (from < end) put(t.single_utf8[*from]);
  return static_cast<std::size_t>(to - out);
}

std::string Utf8FromCp932(std::string_view cp932) {
  // Short text (up to 1024 bytes: most values) is converted on the stack and
  // copied out at its size: the string holds no unused room and costs one
  // allocation; longer text is written into the string and cut to size.
  // The buffer stays within a page of the stack: the exe's code does not
  // probe the stack (CMakeLists.txt).
  constexpr std::size_t kShort = 1024;
  if (cp932.size() <= kShort) {
    char buffer[3 * kShort + 1];
    return std::string(buffer, WriteUtf8FromCp932(cp932, buffer));
  }
  std::string out(3 * cp932.size() + 1, '\0');
  out.resize(WriteUtf8FromCp932(cp932, out.data()));
  return out;
}

}  // namespace korvane
