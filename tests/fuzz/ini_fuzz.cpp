// Any bytes as an INI file: reads must not crash, and every write must read
// back, keep the other keys' values and the file's other lines, and leave the
// document's index equal to a fresh read of its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "common/text.h"
#include "data/ini.h"

namespace {

using korvane::IniDocument;

// Plain ASCII names (they read back as themselves), in several spellings.
const std::vector<std::string> kSections = {"01", "02", "20", "S", "s", " S ", "Korvane", "", "T"};
const std::vector<std::string> kKeys = {"TITLE", "title", "PATH", "k", "K", "", " k "};

struct Rng {
  std::uint64_t state;
  std::uint32_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::uint32_t>(state >> 11);
  }
  std::size_t Below(std::size_t n) { return n == 0 ? 0 : Next() % n; }
};

void Check(bool ok) {
  if (!ok) std::abort();
}

bool SameName(std::string_view a, std::string_view b) {
  const auto strip = [](std::string_view s) {
    while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
    while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
    return s;
  };
  a = strip(a);
  b = strip(b);
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// Bytes that matter to the reader: blanks, quotes, separators, lead bytes
// and the trail bytes 5B, 5C, 5D, line breaks and NUL.
std::string RandomValue(Rng& rng, std::string_view input) {
  static const unsigned char kBytes[] = {' ', '\t', '\v', '\f', 0x1A, '"', '\'', ';', '=', '[', ']',
                                         '\\', 'a', 'Z', '#', 0x81, 0x83, 0x9F, 0xE0, 0xFC, 0x40,
                                         0x5B, 0x5C, 0x5D, 0xA0, 0xFD, '\r', '\n', 0};
  std::string v;
  switch (rng.Below(8)) {
    case 0:
      if (!input.empty()) {
        const std::size_t at = rng.Below(input.size());
        v.assign(input.substr(at, rng.Below(64)));
      }
      break;
    case 1:
      v.assign(2040 + rng.Below(20), 'x');
      for (std::size_t i = 2040; i < v.size(); ++i) v[i] = static_cast<char>(kBytes[rng.Below(sizeof kBytes)]);
      break;
    default:
      for (std::size_t n = rng.Below(24); n > 0; --n) v += static_cast<char>(kBytes[rng.Below(sizeof kBytes)]);
  }
  return v;
}

// A name taken from the input (a bracketed name or the part before '='), to
// reach the reader's odd cases from the caller's side.
std::string NameFromInput(Rng& rng, std::string_view input) {
  if (input.empty()) return {};
  const std::size_t at = rng.Below(input.size());
  const std::size_t end = input.find_first_of("]=\r\n", at);
  return std::string(input.substr(at, (end == std::string_view::npos ? input.size() : end) - at).substr(0, 40));
}

std::vector<std::string> Snapshot(const IniDocument& doc) {
  std::vector<std::string> values;
  for (const auto& s : kSections)
    for (const auto& k : kKeys) values.push_back(doc.Get(s, k, "\x01"));
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::uint64_t hash = 14695981039346656037ull;
  for (unsigned char c : input) hash = (hash ^ c) * 1099511628211ull;
  Rng rng{hash | 1};

  IniDocument doc{std::string(input)};
  Check(doc.Bytes() == input);
  // The one-pass reading of a few plain names answers as the document.
  static const std::vector<std::string> plain_sections = {"01", "02", "20", "S", "Korvane"};
  static const std::string_view plain_keys[] = {"TITLE", "PATH", "k"};
  const korvane::IniValues values{std::string(input), plain_sections, plain_keys};
  Check(values.Readable() == doc.Readable());
  for (std::size_t i = 0; i < plain_sections.size(); ++i)
    for (std::size_t k = 0; k < std::size(plain_keys); ++k)
      Check(values.Value(i, k) == doc.Get(plain_sections[i], plain_keys[k]));
  for (int i = 0; i < 4; ++i) {
    const std::string a = NameFromInput(rng, input), b = NameFromInput(rng, input);
    const std::string got = doc.Get(a, b, "d ");
    Check(korvane::TextUnits(got) <= korvane::kIniValueLimit);
    Check(korvane::ValidUtf8(got) == got);
  }

  const int steps = 1 + static_cast<int>(rng.Below(6));
  for (int step = 0; step < steps; ++step) {
    const std::string before = doc.Bytes();
    const std::vector<std::string> old_values = Snapshot(doc);
    const bool plain = rng.Below(5) != 0;
    const std::string section = plain ? kSections[rng.Below(kSections.size())] : NameFromInput(rng, input);
    const std::string key = plain ? kKeys[rng.Below(kKeys.size())] : NameFromInput(rng, input);
    const std::string value = RandomValue(rng, input);
    doc.Set(section, key, value);
    const std::string& after = doc.Bytes();

    if (!doc.Readable()) {
      Check(after == before);
      continue;
    }
    // A UTF-16 file (from the start, or since the first text code page 932
    // lacks) has its bytes checked by the fresh read below.
    const bool utf16 = after.size() >= 2 && after[0] == '\xFF' && after[1] == '\xFE';
    if (plain) Check(doc.Get(section, key, "\x01") == IniDocument::ValueAfterSet(value));

    // One splice: the bytes before its start and after its end are the old
    // ones, and no line break of the old file is in the part it replaced.
    std::size_t prefix = 0;
    while (prefix < before.size() && prefix < after.size() && before[prefix] == after[prefix]) ++prefix;
    std::size_t suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before[before.size() - 1 - suffix] == after[after.size() - 1 - suffix]) {
      ++suffix;
    }
    const std::string_view removed = std::string_view(before).substr(prefix, before.size() - prefix - suffix);
    Check(utf16 || removed.find_first_of("\r\n") == std::string_view::npos);

    // The index kept while writing is the one a fresh read builds, and a
    // plain name's write changed that key only. (A name the reader trims or
    // cuts may land on another key, as it would on Windows.)
    const IniDocument fresh(after);
    const std::vector<std::string> now = Snapshot(doc);
    Check(Snapshot(fresh) == now);
    Check(fresh.Get(section, key, "\x01") == doc.Get(section, key, "\x01"));
    if (!plain) continue;
    std::size_t i = 0;
    for (const auto& s : kSections) {
      for (const auto& k : kKeys) {
        if (!(SameName(s, section) && SameName(k, key))) Check(now[i] == old_values[i]);
        ++i;
      }
    }
  }
  return 0;
}
