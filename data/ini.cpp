#include "data/ini.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <optional>
#include <utility>
#include <vector>

#include "common/text.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

// Reading rules (those of Windows' own profile reader, where known):
// - CR, LF and CRLF end lines, mixed freely. Each line is looked at from its
//   first non-blank byte: '[' opens a section, ';' makes a comment, anything
//   else is an entry when it holds '=' (split at the first one) and an
//   ignored line otherwise.
// - A section name ends at the first ']' that is not a trail byte, or at the
//   end of the line; what follows the ']' is ignored.
// - Names and values are trimmed of blanks. Blanks are space, TAB and VT
//   (what Windows trims) plus FF and ^Z (0x1A), which Wine also skips: a DOS
//   end-of-file mark on a line of its own is then a blank line, and new keys
//   are not placed after it. The ideographic space (81 40) is no blank.
// - A NUL byte ends a name or a value (as Wine reads it, and as the caller of
//   the A functions would see the string anyway); the line itself goes on to
//   its line break, and a write keeps every byte of it but the value.
// - A file opening with FF FE is UTF-16LE, as Windows takes it: parsed as
//   UTF-8 text converted from it, every character kept, and edited in
//   UTF-16LE. A file opening with EF BB BF is UTF-8 (the mark opens no
//   line), and so is a file without a mark that holds bytes beyond ASCII
//   and is well-formed UTF-8 throughout (code page 932 text almost never
//   is: its lead bytes 81-9F are UTF-8 continuation bytes): parsed and
//   edited in its own bytes, the mark kept. Any other file is code page
//   932: parsed in its own bytes (double-byte aware), values converted to
//   UTF-8 as they are read. (Windows' own reader knows no UTF-8; editors
//   write it by default now, so a file they saved reads as they show it.)
// - Only the first section of a name is seen, and in it the first entry of
//   a name; entries before the first section belong to none and are never
//   seen. Writes go to the same first section and first entry.
namespace korvane {
namespace {

inline bool IsBlank(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  return b <= ' ' && (b == ' ' || b == '\t' || b == '\v' || b == '\f' || b == '\x1A');
}

// A code page 932 lead byte (81-9F, E0-FC).
inline bool IsLead(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Length of the character at s[i] (1 or 2), never reaching past s: in code
// page 932 text (dbcs) a lead byte takes the next byte of the line as its
// trail byte. (Taking only 40-7E and 80-FC as trail bytes would find the
// same ']' and fold the same letters: both are such bytes.) In UTF-8 text
// every byte steps alone: ']', '=' and the ASCII letters never stand
// inside a longer character.
inline std::size_t CharLength(std::string_view s, std::size_t i, bool dbcs) {
  return dbcs && IsLead(s[i]) && i + 1 < s.size() ? 2 : 1;
}

char FoldByte(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c; }

// Names are compared without case: ASCII letters in single-byte positions
// only (a trail byte 0x41 is not 'A'). Folding never turns a byte into a
// lead byte or back, so two names of the same length step through their
// characters alike and either one's lengths serve.
inline bool SameName(std::string_view a, std::string_view b, bool dbcs) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    const char x = a[i], y = b[i];
    if (CharLength(a, i, dbcs) == 2) {
      if (x != y || a[i + 1] != b[i + 1]) return false;
      i += 2;
    } else {
      if (x != y && FoldByte(x) != FoldByte(y)) return false;
      ++i;
    }
  }
  return true;
}

// SameName for a name asked for as it is mostly spelled: the same bytes are
// looked at first.
inline bool SameNameAsAsked(std::string_view name, std::string_view asked, bool dbcs) {
  if (name.size() != asked.size()) return false;
  std::size_t i = 0;
  while (i < name.size() && name[i] == asked[i]) ++i;
  return i == name.size() || SameName(name, asked, dbcs);
}

// A name of up to eight bytes as one word, and the mask of its bytes: a
// name in a file is compared with it in one step where the file has eight
// bytes from the name on. No mask: a longer name.
struct NameWord {
  std::uint64_t word = 0, mask = 0;

  static NameWord Of(std::string_view name) {
    NameWord w;
    if (name.size() > sizeof w.word) return w;
    unsigned char ones[sizeof w.mask] = {};
    std::memset(ones, 0xFF, name.size());
    std::memcpy(&w.word, name.data(), name.size());
    std::memcpy(&w.mask, ones, sizeof ones);
    return w;
  }

  // The bytes at all[at, at + asked's size) are asked's own.
  bool Equal(std::string_view all, std::size_t at) const {
    if (mask == 0 || all.size() - at < sizeof word) return false;
    std::uint64_t got;
    std::memcpy(&got, all.data() + at, sizeof got);
    return ((got ^ word) & mask) == 0;
  }
};

// A hash of the name as SameName compares it (FNV-1a over the folded bytes).
inline std::size_t NameHash(std::string_view name, bool dbcs) {
  std::uint32_t h = 2166136261u;
  for (std::size_t i = 0; i < name.size(); ++i) {
    const std::size_t len = CharLength(name, i, dbcs);
    h = (h ^ static_cast<unsigned char>(len == 1 ? FoldByte(name[i]) : name[i])) * 16777619u;
    if (len == 2) h = (h ^ static_cast<unsigned char>(name[++i])) * 16777619u;
  }
  return h;
}

std::string_view CutAtNul(std::string_view s) { return s.substr(0, s.find('\0')); }

inline std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

// A name passed by the caller: up to its first NUL, CR and LF dropped (they
// would split the line), leading and trailing spaces removed (only spaces,
// as Windows does: a TAB stays part of the name). storage holds the name
// when it had to be rebuilt.
[[gnu::always_inline]] inline std::string_view CallerName(std::string_view name, std::string& storage) {
  std::size_t n = 0;
  bool breaks = false;
  for (; n < name.size(); ++n) {
    const unsigned char c = static_cast<unsigned char>(name[n]);
    if (c > '\r') continue;
    if (c == '\0') break;
    if (c == '\r' || c == '\n') breaks = true;
  }
  name = name.substr(0, n);
  if (breaks) {
    storage.clear();
    for (char c : name) {
      if (c != '\r' && c != '\n') storage.push_back(c);
    }
    name = storage;
  }
  while (!name.empty() && name.front() == ' ') name.remove_prefix(1);
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  return name;
}

// True when name is printable ASCII that neither begins nor ends with a
// space: its own caller form, looked up as it is (the usual names).
inline bool PlainName(std::string_view name) {
  for (const char c : name) {
    if (c < ' ' || c > '~') return false;   // a signed char beyond ASCII is negative
  }
  return name.empty() || (name.front() != ' ' && name.back() != ' ');
}

bool IsQuotePair(std::string_view v) {
  return v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front();
}

// The bytes written after '=' for a value as ValueAfterSet gives it: quoted
// when the reader would otherwise trim it or take a quote pair off it.
std::string EncodeValue(std::string_view v) {
  if (!v.empty() && (IsBlank(v.front()) || IsBlank(v.back()) || IsQuotePair(v))) {
    std::string quoted;
    quoted.reserve(v.size() + 2);
    quoted += '"';
    quoted += v;
    quoted += '"';
    return quoted;
  }
  return std::string(v);
}

enum class LineKind { Blank, Section, Comment, Other, Entry };

// One line as the reader sees it. Offsets are into the document's bytes.
struct Line {
  LineKind kind = LineKind::Blank;
  std::size_t name = 0, name_len = 0;     // section or key name as matched
  std::size_t keep_end = 0;               // entry: just past the name's last non-blank byte
  std::size_t value = 0, value_len = 0;   // entry: the value, cut and trimmed
};

#ifdef __SSE2__
// The first a or b in bytes[pos, end), or end: sixteen bytes at a time, no
// call for a line's few.
inline std::size_t FindEither(std::string_view bytes, std::size_t pos, std::size_t end, char a, char b) {
  const __m128i first = _mm_set1_epi8(a);
  const __m128i second = _mm_set1_epi8(b);
  for (; end - pos >= 16; pos += 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes.data() + pos));
    const auto found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(v, first), _mm_cmpeq_epi8(v, second))));
    if (found != 0) return pos + static_cast<std::size_t>(std::countr_zero(found));
  }
  while (pos < end && bytes[pos] != a && bytes[pos] != b) ++pos;
  return pos;
}
#endif

// The first c in bytes[pos, end), or end.
inline std::size_t FindByte(std::string_view bytes, std::size_t pos, std::size_t end, char c) {
#ifdef __SSE2__
  return FindEither(bytes, pos, end, c, c);
#else
  const void* at = std::memchr(bytes.data() + pos, c, end - pos);
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - bytes.data()) : end;
#endif
}

// Classifies bytes[begin, end), a line without its line break; dbcs says
// whether they are code page 932 text, nul whether they may hold a NUL byte.
[[gnu::always_inline]] inline Line Classify(std::string_view bytes, std::size_t begin, std::size_t end, bool dbcs, bool nul = true) {
  const auto cut = [nul](std::string_view s) { return nul ? CutAtNul(s) : s; };
  Line line;
  std::size_t p = begin;
  while (p < end && IsBlank(bytes[p])) ++p;
  if (p == end) return line;
  const std::string_view text = bytes.substr(0, end);
  if (bytes[p] == '[') {
    std::size_t q = p + 1;
    while (q < end && bytes[q] != ']') q += CharLength(text, q, dbcs);
    const std::size_t start = p + 1;
    const std::string_view name = TrimBlanks(cut(bytes.substr(start, q - start)));
    line.kind = LineKind::Section;
    line.name = static_cast<std::size_t>(name.data() - bytes.data());
    line.name_len = name.size();
    return line;
  }
  if (bytes[p] == ';') {
    line.kind = LineKind::Comment;
    return line;
  }
  // '=' is never a trail byte, so a plain search finds the first one.
  const std::size_t eq = FindByte(bytes, p, end, '=');
  if (eq == end) {
    line.kind = LineKind::Other;
    return line;
  }
  const std::string_view raw_name = bytes.substr(p, eq - p);
  const std::string_view name = TrimBlanks(cut(raw_name));
  const std::string_view value = TrimBlanks(cut(bytes.substr(eq + 1, end - eq - 1)));
  line.kind = LineKind::Entry;
  line.name = p;
  line.name_len = name.size();
  line.keep_end = p + TrimBlanks(raw_name).size();
  line.value = static_cast<std::size_t>(value.data() - bytes.data());
  line.value_len = value.size();
  return line;
}

// Lines one after another. With SSE2 each line's bytes are looked at
// sixteen at a time for the first CR or LF; without, the next CR and the
// next LF are each searched for once and kept until passed. Either way every
// byte is looked at once per kind of break however the file mixes them.
class LineScanner {
 public:
  explicit LineScanner(std::string_view bytes) : bytes_(bytes) {
#ifndef __SSE2__
    cr_ = Find('\r', 0);
    lf_ = Find('\n', 0);
#endif
  }

  // End of the line starting at pos (before its break) and the start of the
  // next line (after CR, LF or CRLF; equal to the end at the end of the file).
  // pos only grows from call to call.
  std::pair<std::size_t, std::size_t> Bounds(std::size_t pos) {
    const std::size_t end = BreakAt(pos);
    std::size_t next = end;
    if (next < bytes_.size()) {
      next += (bytes_[next] == '\r' && next + 1 < bytes_.size() && bytes_[next + 1] == '\n') ? 2 : 1;
    }
    return {end, next};
  }

 private:
  // The first CR or LF at or after pos, or size() when none.
#ifdef __SSE2__
  std::size_t BreakAt(std::size_t pos) const { return FindEither(bytes_, pos, bytes_.size(), '\r', '\n'); }
#else
  std::size_t BreakAt(std::size_t pos) {
    if (cr_ < pos) cr_ = Find('\r', pos);
    if (lf_ < pos) lf_ = Find('\n', pos);
    return std::min(cr_, lf_);
  }

  std::size_t Find(char c, std::size_t pos) const {
    const void* at = std::memchr(bytes_.data() + pos, c, bytes_.size() - pos);
    return at ? static_cast<std::size_t>(static_cast<const char*>(at) - bytes_.data()) : bytes_.size();
  }

  std::size_t cr_, lf_;   // the next of each at or after the last pos; size() when none
#endif

  std::string_view bytes_;
};

struct Entry {
  std::size_t line;        // the line's first byte
  std::size_t name, name_len;
  std::size_t keep_end;
  std::size_t value, value_len;
  std::size_t text_end;    // the line's end, before its line break
};

struct Section {
  std::size_t name = 0, name_len = 0;  // its name as matched, in the bytes
  std::size_t hash = 0;    // NameHash of that name
  std::size_t first = 0;   // its entries are entries[first, first + count)
  std::size_t count = 0;
  std::size_t insert_at = 0;  // just past the line break of its last non-blank line
  bool needs_break = false;   // that line ends the file without a line break
};

Entry MakeEntry(const Line& l, std::size_t begin, std::size_t end) {
  return {begin, l.name, l.name_len, l.keep_end, l.value, l.value_len, end};
}

// True when no byte of s is beyond ASCII, which reads the same in every
// encoding here.
inline bool IsAscii(std::string_view s) {
  // Eight bytes at a time: a long file is looked at once.
  std::uint64_t any = 0;
  std::size_t i = 0;
  for (; i + 8 <= s.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, s.data() + i, 8);
    any |= word;
  }
  for (; i < s.size(); ++i) any |= static_cast<unsigned char>(s[i]);
  return (any & 0x8080808080808080ull) == 0;
}

// True when text holds a byte beyond ASCII and is well-formed UTF-8
// throughout. Code page 932 text is told at its first double-byte
// character, so the answer seldom costs more than the bytes before it.
bool IsUtf8Beyond(std::string_view text) {
  bool beyond = false;
  for (std::size_t i = 0; i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const DecodedChar c = DecodeChar(text, i);
    if (c.length == 1) return false;   // starts no well-formed sequence
    beyond = true;
    i += c.length;
  }
  return beyond;
}

// At most the first n bytes of code page 932 text, one byte fewer when
// byte n (1-based) is a lead byte: the count of lead-valued bytes directly
// in front of it tells, so no walk from the start is needed.
std::string_view CutCp932(std::string_view s, std::size_t n) {
  if (s.size() <= n) return s;
  std::size_t leads = 0;
  while (leads < n && IsLead(s[n - 1 - leads])) ++leads;
  return s.substr(0, n - leads % 2);
}

// UTF-16LE bytes of UTF-8 text, and for every byte of the text the offset
// in them of the character it belongs to.
std::pair<std::string, std::vector<std::size_t>> EncodeUtf16(std::string_view text) {
  std::string bytes;
  std::vector<std::size_t> marks;
  bytes.reserve(text.size() * 2);
  marks.reserve(text.size());
  const auto put = [&bytes](char16_t u) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  };
  for (std::size_t i = 0; i < text.size();) {
    const DecodedChar c = DecodeChar(text, i);
    marks.insert(marks.end(), c.length, bytes.size());
    if (c.code >= 0x10000) {
      put(static_cast<char16_t>(0xD800 + ((c.code - 0x10000) >> 10)));
      put(static_cast<char16_t>(0xDC00 + ((c.code - 0x10000) & 0x3FF)));
    } else {
      put(static_cast<char16_t>(c.code));
    }
    i += c.length;
  }
  return {std::move(bytes), std::move(marks)};
}

// UTF-16LE bytes as UTF-8 text (an unpaired surrogate reads as U+FFFD, an
// odd last byte is left out); at gets for every byte of the text the offset
// in the UTF-16 bytes of the character it belongs to.
std::string DecodeUtf16(std::string_view bytes, std::vector<std::size_t>& at) {
  std::string text;
  text.reserve(bytes.size() / 2 + bytes.size() / 4);
  at.reserve(text.capacity() + 2);
  const std::size_t units = bytes.size() / 2;
  const auto unit = [bytes](std::size_t k) {
    return static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * k]) |
                                 static_cast<unsigned char>(bytes[2 * k + 1]) << 8);
  };
  for (std::size_t k = 0; k < units; ++k) {
    const char16_t u = unit(k);
    const std::size_t before = text.size();
    if (u < 0x80) {
      text += static_cast<char>(u);
    } else if (u >= 0xD800 && u <= 0xDBFF && k + 1 < units && unit(k + 1) >= 0xDC00 && unit(k + 1) <= 0xDFFF) {
      AppendUtf8(text, 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (unit(k + 1) - 0xDC00));
      at.insert(at.end(), text.size() - before, 2 * k);
      ++k;
      continue;
    } else {
      AppendUtf8(text, u);
    }
    at.insert(at.end(), text.size() - before, 2 * k);
  }
  return text;
}

}  // namespace

struct IniDocument::Impl {
  static constexpr std::size_t npos = static_cast<std::size_t>(-1);
  std::string bytes;
  bool readable = true;
  // A UTF-16LE file: wide holds its bytes as they stand, bytes the same
  // text in UTF-8 for the reader, and wide_at[i] the offset in wide of the
  // character at bytes[i] (wide_at[bytes.size()] is the end).
  bool utf16 = false;
  // Made UTF-16 here from an empty file: the mark opens no line.
  bool fresh_mark = false;
  // A UTF-8 file: bytes holds it as it stands, its byte-order mark (if
  // any) in the first `start` bytes, which no line takes.
  bool utf8 = false;
  std::size_t start = 0;
  std::string wide;
  std::vector<std::size_t> wide_at;
  std::vector<Entry> entries;
  std::vector<Section> sections;
  // The first section of each name, by NameHash: open addressing, a slot
  // holds a section's index + 1 (0 is free), the size is a power of two.
  std::vector<std::size_t> slots;

  bool Dbcs() const { return !utf16 && !utf8; }
  void Load(std::string file);
  void Decode();
  void ToUtf16();
  void Parse();
  void Splice(std::size_t from, std::size_t to, const std::string& text);
  std::string ValueOf(const Entry& e) const;
  std::size_t WriteValue(std::size_t value, std::size_t length, char* out) const;
  std::optional<std::string> InFile(std::string_view utf8) const;
  // find(the name as the file spells the name a caller asked for), or npos
  // when the file cannot spell it.
  template <class Find>
  std::size_t FindAsked(std::string_view asked, Find find) const;
  std::size_t FindSection(std::string_view name) const;
  std::size_t FindEntry(std::size_t section, std::string_view key) const;
  std::size_t Lookup(std::string_view name, std::size_t hash) const;
  bool AddSection(std::size_t name, std::size_t name_len, Section s);
  void Shift(std::size_t from, std::ptrdiff_t delta);
  void Replace(Entry& e, const std::string& encoded);
  bool Insert(std::size_t si, const std::string& key, const std::string& encoded);
  bool Append(const std::string& section, const std::string& key, const std::string& encoded);
};

// A file's bytes, not parsed yet.
void IniDocument::Impl::Load(std::string file) {
  utf16 = file.size() >= 2 && static_cast<unsigned char>(file[0]) == 0xFF && static_cast<unsigned char>(file[1]) == 0xFE;
  if (utf16) {
    wide = std::move(file);
    Decode();
  } else if (file.size() >= 3 && file.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    bytes = std::move(file);
    utf8 = true;
    start = 3;
  } else {
    bytes = std::move(file);
    utf8 = IsUtf8Beyond(bytes);
    // Without a converter (a system lacking code page 932) only ASCII is
    // read: a file with more is neither read nor written.
    readable = utf8 || Cp932Available() || IsAscii(bytes);
  }
}

// bytes and wide_at from wide.
void IniDocument::Impl::Decode() {
  wide_at.clear();
  bytes = DecodeUtf16(std::string_view(wide).substr(2), wide_at);
  for (std::size_t& offset : wide_at) offset += 2;   // past the BOM
  // An odd last byte is no character: it stays last, after anything appended.
  wide_at.push_back(wide.size() - wide.size() % 2);
}

// A code page 932 document becomes UTF-16LE with a byte-order mark, every
// line kept: its text converted as Windows converts it (a byte that is no
// character becomes "・").
void IniDocument::Impl::ToUtf16() {
  fresh_mark = bytes.empty();
  wide = "\xFF\xFE" + EncodeUtf16(Utf8FromCp932(bytes)).first;
  utf16 = true;
  Decode();
  Parse();
}

// Caller text (UTF-8) as the document holds it: code page 932 bytes, or
// nullopt when it does not fit them; in a UTF-16 document the text itself,
// ill-formed bytes replaced as the UTF-16 will read back.
std::optional<std::string> IniDocument::Impl::InFile(std::string_view utf8) const {
  if (IsAscii(utf8)) return std::string(utf8);
  if (!Dbcs()) return ValidUtf8(utf8);
  return Cp932FromUtf8(utf8);
}

void IniDocument::Impl::Parse() {
  entries.clear();
  sections.clear();
  slots.clear();
  if (!readable) return;
  const std::string_view all = bytes;
  // Room for a group file's lines at once; larger files grow as they go.
  entries.reserve(std::min<std::size_t>(all.size() / 40 + 4, 4096));
  sections.reserve(std::min<std::size_t>(all.size() / 64 + 4, 1024));
  const bool nul = std::memchr(all.data(), '\0', all.size()) != nullptr;
  const bool dbcs = Dbcs();
  std::size_t open = npos;  // the section whose lines these are, when it is a seen one
  LineScanner lines(all);
  for (std::size_t pos = start; pos < all.size();) {
    const auto [end, next] = lines.Bounds(pos);
    const Line line = Classify(all, pos, end, dbcs, nul);
    if (line.kind == LineKind::Section) {
      Section s;
      s.first = entries.size();
      s.insert_at = next;
      s.needs_break = next == end;
      open = AddSection(line.name, line.name_len, s) ? sections.size() - 1 : npos;
    } else if (line.kind != LineKind::Blank && open != npos) {
      Section& s = sections[open];
      s.insert_at = next;
      s.needs_break = next == end;
      if (line.kind == LineKind::Entry) {
        entries.push_back(MakeEntry(line, pos, end));
        ++s.count;
      }
    }
    pos = next;
  }
}

// Index of the first section named name, whose NameHash is hash, or npos.
std::size_t IniDocument::Impl::Lookup(std::string_view name, std::size_t hash) const {
  if (slots.empty()) return npos;
  const std::string_view all = bytes;
  const std::size_t mask = slots.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const std::size_t slot = slots[at];
    if (slot == 0) return npos;
    const Section& s = sections[slot - 1];
    if (s.hash == hash && SameName(std::string_view(all.data() + s.name, s.name_len), name, Dbcs()))
      return slot - 1;
  }
}

// Records s, named bytes[name, name + name_len), as a section; false (and
// nothing recorded) when a section of that name comes first.
bool IniDocument::Impl::AddSection(std::size_t name, std::size_t name_len, Section s) {
  s.name = name;
  s.name_len = name_len;
  s.hash = NameHash(std::string_view(bytes).substr(name, name_len), Dbcs());
  if (Lookup(std::string_view(bytes).substr(name, name_len), s.hash) != npos) return false;
  sections.push_back(s);
  // Kept at most half full.
  if (2 * sections.size() > slots.size()) {
    std::vector<std::size_t> grown(std::max<std::size_t>(std::bit_ceil(2 * sections.capacity()), 2 * slots.size()), 0);
    const std::size_t mask = grown.size() - 1;
    for (std::size_t i = 0; i < sections.size(); ++i) {
      std::size_t at = sections[i].hash & mask;
      while (grown[at] != 0) at = (at + 1) & mask;
      grown[at] = i + 1;
    }
    slots = std::move(grown);
  } else {
    const std::size_t mask = slots.size() - 1;
    std::size_t at = s.hash & mask;
    while (slots[at] != 0) at = (at + 1) & mask;
    slots[at] = sections.size();
  }
  return true;
}

// Index of the first section named name (caller form), or npos.
std::size_t IniDocument::Impl::FindSection(std::string_view name) const {
  if (!readable) return npos;
  return Lookup(name, NameHash(name, Dbcs()));
}

// Index in entries of the section's first entry named key, or npos.
std::size_t IniDocument::Impl::FindEntry(std::size_t section, std::string_view key) const {
  const Section& s = sections[section];
  const std::string_view all = bytes;
  for (std::size_t i = s.first; i < s.first + s.count; ++i) {
    const Entry& e = entries[i];
    if (SameNameAsAsked(std::string_view(all.data() + e.name, e.name_len), key, Dbcs())) return i;
  }
  return npos;
}

// Moves every recorded offset at or after `from` by delta.
void IniDocument::Impl::Shift(std::size_t from, std::ptrdiff_t delta) {
  const auto move = [&](std::size_t& at) {
    if (at >= from) at += static_cast<std::size_t>(delta);
  };
  for (Entry& e : entries) {
    move(e.line);
    move(e.name);
    move(e.keep_end);
    move(e.value);
    move(e.text_end);
  }
  for (Section& s : sections) {
    move(s.name);
    move(s.insert_at);
  }
}

// The line keeps its bytes up to the end of the key name (indentation and
// spelling), then '=', the value and its original line break.
void IniDocument::Impl::Replace(Entry& e, const std::string& encoded) {
  const std::size_t from = e.keep_end, to = e.text_end;
  if (to - from == encoded.size() + 1 && bytes[from] == '=' &&
      bytes.compare(from + 1, encoded.size(), encoded) == 0) {
    return;
  }
  std::string text;
  text.reserve(encoded.size() + 1);
  text += '=';
  text += encoded;
  Splice(from, to, text);
  Shift(to, static_cast<std::ptrdiff_t>(text.size()) - static_cast<std::ptrdiff_t>(to - from));
  const std::size_t end = from + text.size();
  e = MakeEntry(Classify(bytes, e.line, end, Dbcs()), e.line, end);
}

// A new key goes right after the section's last non-blank line (so blank
// lines before the next section stay there), with CRLF. False when the new
// line would not read back as that key.
bool IniDocument::Impl::Insert(std::size_t si, const std::string& key, const std::string& encoded) {
  Section& s = sections[si];
  const std::size_t at = s.insert_at;
  std::string text;
  text.reserve(key.size() + encoded.size() + 5);
  if (s.needs_break) text += "\r\n";
  const std::size_t begin = at + text.size();
  text += key;
  text += '=';
  text += encoded;
  const std::size_t end = at + text.size();
  text += "\r\n";
  Splice(at, at, text);
  Shift(at + 1, static_cast<std::ptrdiff_t>(text.size()));
  s.insert_at = at + text.size();
  s.needs_break = false;
  const Line line = Classify(bytes, begin, end, Dbcs());
  if (line.kind != LineKind::Entry) return false;
  entries.insert(entries.begin() + static_cast<std::ptrdiff_t>(s.first + s.count), MakeEntry(line, begin, end));
  ++s.count;
  for (std::size_t i = si + 1; i < sections.size(); ++i) ++sections[i].first;
  return true;
}

// A new section goes at the end of the file, with CRLF first when the file
// does not end in a line break (an empty file gets none). False when the new
// lines would not read back as that section and key.
bool IniDocument::Impl::Append(const std::string& section, const std::string& key,
                               const std::string& encoded) {
  std::string text;
  text.reserve(section.size() + key.size() + encoded.size() + 9);
  // The BOM of a UTF-16 file counts as content: "FF FE" alone gets a break
  // (not one made here from an empty file).
  const bool add_break = bytes.size() == start ? utf16 && !fresh_mark : bytes.back() != '\r' && bytes.back() != '\n';
  if (add_break) text += "\r\n";
  const std::size_t header = bytes.size() + text.size();
  text += '[';
  text += section;
  text += "]\r\n";
  const std::size_t begin = bytes.size() + text.size();
  text += key;
  text += '=';
  text += encoded;
  const std::size_t end = bytes.size() + text.size();
  text += "\r\n";
  if (add_break) {
    for (Section& s : sections) {
      if (s.needs_break) {
        s.insert_at += 2;
        s.needs_break = false;
      }
    }
  }
  Splice(bytes.size(), bytes.size(), text);
  const Line head = Classify(bytes, header, begin - 2, Dbcs());
  const Line line = Classify(bytes, begin, end, Dbcs());
  if (head.kind != LineKind::Section || line.kind != LineKind::Entry) return false;
  Section s;
  s.first = entries.size();
  s.count = 1;
  s.insert_at = bytes.size();
  if (!AddSection(head.name, head.name_len, s)) return false;
  entries.push_back(MakeEntry(line, begin, end));
  return true;
}

// bytes[from, to) becomes text; a UTF-16 file gets the same change in its
// own encoding, and the rest of its bytes stay.
void IniDocument::Impl::Splice(std::size_t from, std::size_t to, const std::string& text) {
  bytes.replace(from, to - from, text);
  if (!utf16) return;
  const auto [encoded, marks] = EncodeUtf16(text);
  const std::size_t wide_from = wide_at[from], wide_to = wide_at[to];
  wide.replace(wide_from, wide_to - wide_from, encoded);
  std::vector<std::size_t> fresh;
  fresh.reserve(marks.size() + 1);
  for (const std::size_t mark : marks) fresh.push_back(wide_from + mark);
  fresh.push_back(wide_from + encoded.size());
  const std::ptrdiff_t delta =
      static_cast<std::ptrdiff_t>(encoded.size()) - static_cast<std::ptrdiff_t>(wide_to - wide_from);
  wide_at.erase(wide_at.begin() + static_cast<std::ptrdiff_t>(from),
                wide_at.begin() + static_cast<std::ptrdiff_t>(to) + 1);
  wide_at.insert(wide_at.begin() + static_cast<std::ptrdiff_t>(from), fresh.begin(), fresh.end());
  for (std::size_t i = from + fresh.size(); i < wide_at.size(); ++i) wide_at[i] += static_cast<std::size_t>(delta);
}

// What Get answers for the entry, in UTF-8: cut in the file's terms (2047
// code page 932 bytes, or 2047 units of UTF-16 text).
std::string IniDocument::Impl::ValueOf(const Entry& e) const {
  if (!Dbcs()) {
    std::string_view v(bytes.data() + e.value, e.value_len);
    if (IsQuotePair(v)) v = v.substr(1, v.size() - 2);
    // A UTF-8 file may hold bytes that form no character: each reads as
    // U+FFFD, so that what the program holds is UTF-8 whatever the file.
    std::string valid;
    if (utf8 && !IsAscii(v)) v = valid = ValidUtf8(v);
    return v.size() <= kIniValueLimit ? std::string(v) : CutToUnits(v, kIniValueLimit);
  }
  // A short value is converted on the stack and copied out at its size (one
  // allocation, no unused room); a longer one in the string, cut to size.
  // The buffer stays within a page of the stack: the exe's code does not
  // probe the stack (CMakeLists.txt).
  constexpr std::size_t kShort = 1024;
  if (e.value_len <= kShort) {
    char buffer[3 * kShort + 1];
    return std::string(buffer, WriteValue(e.value, e.value_len, buffer));
  }
  std::string out(3 * kIniValueLimit + 1, '\0');
  out.resize(WriteValue(e.value, e.value_len, out.data()));
  return out;
}

// The same for the value at bytes[value, value + length), written at out,
// which has room for three bytes a byte of it and one more; answers its
// length.
std::size_t IniDocument::Impl::WriteValue(std::size_t value, std::size_t length, char* out) const {
  std::string_view v(bytes.data() + value, length);
  if (IsQuotePair(v)) v = v.substr(1, v.size() - 2);
  if (!Dbcs()) {
    // U+FFFD (three bytes) for a byte that forms no character: within the
    // room of three bytes a byte.
    std::string valid;
    if (utf8 && !IsAscii(v)) v = valid = ValidUtf8(v);
    if (v.size() > kIniValueLimit) v = v.substr(0, CutToUnits(v, kIniValueLimit).size());
    v.copy(out, v.size());
    return v.size();
  }
  // A byte that is no character reads as "・", two units: cut again.
  const std::size_t written = WriteUtf8FromCp932(CutCp932(v, kIniValueLimit), out);
  if (written <= kIniValueLimit) return written;
  return CutToUnits(std::string_view(out, written), kIniValueLimit).size();
}

IniDocument::IniDocument() : impl_(std::make_unique<Impl>()) {}

IniDocument::IniDocument(std::string bytes) : impl_(std::make_unique<Impl>()) {
  impl_->Load(std::move(bytes));
  impl_->Parse();
}

IniDocument::IniDocument(IniDocument&&) noexcept = default;
IniDocument& IniDocument::operator=(IniDocument&&) noexcept = default;
IniDocument::~IniDocument() = default;

bool IniDocument::Readable() const { return !impl_ || impl_->readable; }

std::string IniDocument::Get(std::string_view section, std::string_view key, std::string_view def) const {
  return ReadSection(section).Get(key, def);
}

template <class Find>
std::size_t IniDocument::Impl::FindAsked(std::string_view asked, Find find) const {
  // The usual names are their own caller form and need no converting.
  if (PlainName(asked)) return find(asked);
  std::string storage;
  const std::string_view caller = CallerName(asked, storage);
  if (IsAscii(caller)) return find(caller);
  const std::optional<std::string> name = InFile(caller);
  return name ? find(*name) : npos;
}

IniDocument::SectionReader IniDocument::ReadSection(std::string_view section) const {
  if (!impl_) return SectionReader(nullptr, 0);
  const Impl& d = *impl_;
  const std::size_t si = d.FindAsked(section, [&d](std::string_view name) { return d.FindSection(name); });
  return SectionReader(si == Impl::npos ? nullptr : &d, si);
}

std::size_t IniDocument::SectionReader::Find(std::string_view key) const {
  if (!impl_) return Impl::npos;
  return impl_->FindAsked(key, [this](std::string_view name) { return impl_->FindEntry(index_, name); });
}

std::string IniDocument::SectionReader::Get(std::string_view key, std::string_view def) const {
  const std::size_t found = Find(key);
  if (found == Impl::npos) {
    while (!def.empty() && def.back() == ' ') def.remove_suffix(1);
    return std::string(def);
  }
  return impl_->ValueOf(impl_->entries[found]);
}

void IniDocument::Set(std::string_view section, std::string_view key, std::string_view value) {
  if (!impl_) impl_ = std::make_unique<Impl>();
  Impl& d = *impl_;
  if (!d.readable) return;
  std::string storage;
  const std::string caller_section(CallerName(section, storage));
  const std::string caller_key(CallerName(key, storage));
  const std::string caller_value = ValueAfterSet(value);
  // In the file's terms; the first text that code page 932 cannot hold
  // makes a code page 932 file UTF-16LE.
  std::optional<std::string> sec = d.InFile(caller_section), name = d.InFile(caller_key),
                             plain = d.InFile(caller_value);
  if (!sec || !name || !plain) {
    d.ToUtf16();
    sec = d.InFile(caller_section), name = d.InFile(caller_key), plain = d.InFile(caller_value);
  }
  const std::string encoded = EncodeValue(*plain);
  bool indexed = true;
  const std::size_t si = d.FindSection(*sec);
  if (si == Impl::npos) {
    indexed = d.Append(*sec, *name, encoded);
  } else if (const std::size_t ei = d.FindEntry(si, *name); ei != Impl::npos) {
    // A UTF-16 line that already reads as the value keeps its bytes.
    if (d.utf16 && d.ValueOf(d.entries[ei]) == *plain) return;
    d.Replace(d.entries[ei], encoded);
  } else {
    indexed = d.Insert(si, *name, encoded);
  }
  // A name the reader takes differently (a key opening with ';' or '[', a
  // section name holding ']'): the lines are written as Windows writes them,
  // and the index is rebuilt from the bytes.
  if (!indexed) d.Parse();
}

std::string IniDocument::ValueAfterSet(std::string_view value) {
  value = CutAtNul(value);
  std::string v;
  if (value.find_first_of("\r\n") == std::string_view::npos) {
    // Units never exceed bytes, and a character has at most four.
    v.assign(value.substr(0, 4 * kIniValueLimit));
  } else {
    v.reserve(std::min(value.size(), 4 * kIniValueLimit));
    for (char c : value) {
      if (c == '\r' || c == '\n') continue;
      v.push_back(c);
      if (v.size() >= 4 * kIniValueLimit) break;
    }
  }
  if (!IsAscii(v)) v = ValidUtf8(v);
  return v.size() <= kIniValueLimit ? v : CutToUnits(v, kIniValueLimit);
}

const std::string& IniDocument::Bytes() const {
  static const std::string empty;
  if (!impl_) return empty;
  return impl_->utf16 ? impl_->wide : impl_->bytes;
}

IniValues::IniValues(std::string bytes, std::span<const std::string> sections, std::span<const std::string_view> keys,
                     std::size_t head)
    : keys_(keys.size()), head_(head) {
  constexpr std::size_t npos = IniDocument::Impl::npos;
  IniDocument::Impl d;
  d.Load(std::move(bytes));
  readable_ = d.readable;
  if (!readable_) return;
  // The lines taken as Parse takes them, each value's entry found as
  // FindEntry finds it: the first entry of the key in the first section of
  // the name. Until the values are converted, ends_ holds the length of
  // each value found (npos: none yet), then the offsets of those found,
  // then whether each section was seen. (Lengths and offsets apart: stored
  // side by side, the two were written as one 16-byte store that waited for
  // the two 8-byte stores that made the line's fields.)
  const std::string_view all = d.bytes;
  const bool nul = std::memchr(all.data(), '\0', all.size()) != nullptr;
  const bool dbcs = d.Dbcs();
  const std::size_t count = sections.size() * keys_;
  ends_.assign(2 * count + sections.size(), npos);
  std::size_t* const lengths = ends_.data();
  std::size_t* const offsets = lengths + count;
  std::size_t* const seen = offsets + count;
  std::size_t open = npos;   // the wanted section whose lines these are
  std::size_t next_section = 0;   // sections usually come in the order asked
  // The first keys as words, to find a key spelled as asked in one step.
  constexpr std::size_t kWords = 4;
  NameWord key_words[kWords];
  for (std::size_t k = 0; k < keys_ && k < kWords; ++k) key_words[k] = NameWord::Of(keys[k]);
  LineScanner lines(all);
  for (std::size_t pos = d.start; pos < all.size();) {
    const auto [end, next] = lines.Bounds(pos);
    const Line line = Classify(all, pos, end, dbcs, nul);
    const std::string_view name(all.data() + line.name, line.name_len);
    if (line.kind == LineKind::Section) {
      std::size_t i = next_section;
      if (i >= sections.size() || !SameNameAsAsked(name, sections[i], dbcs)) {
        for (i = 0; i < sections.size() && !SameNameAsAsked(name, sections[i], dbcs);) ++i;
      }
      open = npos;
      if (i < sections.size() && seen[i] == npos) {
        seen[i] = 0;
        open = i;
        next_section = i + 1;
      }
    } else if (line.kind == LineKind::Entry && open != npos) {
      for (std::size_t k = 0; k < keys_; ++k) {
        if (name.size() == keys[k].size() &&
            ((k < kWords && key_words[k].Equal(all, line.name)) || SameNameAsAsked(name, keys[k], dbcs))) {
          const std::size_t v = open * keys_ + k;
          if (lengths[v] == npos) {
            lengths[v] = line.value_len;
            offsets[v] = line.value;
          }
          break;
        }
      }
    }
    pos = next;
  }
  // Converted one after another: room for three bytes a byte, and one more.
  // Value v's end takes the place of its length, read just before.
  std::size_t room = 1;
  for (std::size_t v = 0; v < count; ++v) room += lengths[v] == npos ? 0 : 3 * lengths[v];
  text_ = SharedBytes(head_ + room);
  char* const text = text_.data() + head_;
  std::size_t end = 0;
  for (std::size_t v = 0; v < count; ++v) {
    if (lengths[v] != npos) end += d.WriteValue(offsets[v], lengths[v], text + end);
    ends_[v] = end;
  }
  ends_.resize(count);
}

std::string_view IniValues::Value(std::size_t section, std::size_t key) const {
  const std::size_t v = section * keys_ + key;
  if (!text_ || key >= keys_ || v >= ends_.size()) return {};
  const std::size_t begin = v == 0 ? 0 : ends_[v - 1];
  return std::string_view(text_.data() + head_ + begin, ends_[v] - begin);
}

std::string IniDocument::TakeBytes() {
  if (!impl_) return {};
  std::string out = std::move(impl_->utf16 ? impl_->wide : impl_->bytes);
  impl_ = std::make_unique<Impl>();
  return out;
}

}  // namespace korvane
