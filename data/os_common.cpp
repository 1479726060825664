// The parts of the os layer that are the same on every platform: name
// arithmetic on UTF-8 strings.
#include <algorithm>
#include <array>
#include <ctime>
#include <atomic>
#include <string>
#include <string_view>

#include "common/text.h"
#include "data/os.h"

namespace korvane::os {

// The system's test, in the platform's file.
bool SystemFileExists(const std::string& path);

namespace {
std::atomic<bool (*)(const std::string&)> g_existence_test{nullptr};

constexpr std::string_view kTempTag = ".~Korvane-";
constexpr std::string_view kWholeSuffix = ".tmp";
constexpr std::string_view kNewSuffix = ".new";

bool AllDigits(std::string_view text) {
  return !text.empty() && text.size() <= 10 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Offset of the last separator, or npos.
std::size_t LastSeparator(std::string_view path) {
#ifdef _WIN32
  return LastPathSeparator(path);
#else
  return path.rfind('/');
#endif
}
}  // namespace

bool FileExists(const std::string& path) {
  if (bool (*test)(const std::string&) = g_existence_test.load()) return test(path);
  return SystemFileExists(path);
}

void SetExistenceTest(bool (*test)(const std::string& path)) { g_existence_test.store(test); }

bool HasWildcard(std::string_view path) {
  constexpr std::string_view kVerbatim = "\\\\?\\";
  if (path.substr(0, kVerbatim.size()) == kVerbatim) path.remove_prefix(kVerbatim.size());
  // '*' and '?' never stand inside a longer UTF-8 character.
  return path.find_first_of("*?") != std::string_view::npos;
}

bool PathFits(std::string_view path) {
  // The system's limit counts UTF-16 units, with room for the terminating
  // NUL.
  constexpr std::size_t kMaxPath = 260;
  if (path.size() < kMaxPath) return true;   // never more units than bytes
  return Utf16FromUtf8(path).size() < kMaxPath;
}

std::string TemporaryNameFor(std::string_view file_name, bool replaces, unsigned long process,
                             unsigned long serial) {
  return std::string(file_name) + std::string(kTempTag) + std::to_string(process) + "-" + std::to_string(serial) +
         std::string(replaces ? kWholeSuffix : kNewSuffix);
}

namespace {
template <class Number>
void AppendHex(std::string& out, Number value) {
  char digits[2 * sizeof(Number)];
  std::size_t n = 0;
  do {
    digits[n++] = "0123456789abcdef"[value & 0xF];
    value = static_cast<Number>(value >> 4);
  } while (value != 0);
  while (n > 0) out += digits[--n];
}

// The value of at most max_digits hexadecimal digits, or nullopt.
std::optional<std::uint64_t> Hex(std::string_view text, std::size_t max_digits) {
  if (text.empty() || text.size() > max_digits) return std::nullopt;
  std::uint64_t value = 0;
  for (const char c : text) {
    const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
    if (digit < 0) return std::nullopt;
    value = value << 4 | static_cast<unsigned>(digit);
  }
  return value;
}
}  // namespace

std::string TemporaryNameFor(const TemporaryFile& file) {
  std::string name = file.file_name + std::string(kTempTag);
  AppendHex(name, file.machine);
  name += '-';
  AppendHex(name, static_cast<std::uint32_t>(file.process));
  name += '-';
  AppendHex(name, static_cast<std::uint32_t>(file.serial));
  name += '-';
  AppendHex(name, file.time);
  name += '-';
  AppendHex(name, file.check);
  return name + std::string(file.replaces ? kWholeSuffix : kNewSuffix);
}

std::string TemporaryNameNow(std::string_view file_name, bool replaces, std::string_view bytes, unsigned long serial) {
  TemporaryFile file;
  file.file_name = std::string(file_name);
  file.replaces = replaces;
  file.machine = MachineTag();
  file.process = ProcessId();
  file.serial = serial;
  file.time = static_cast<std::uint64_t>(std::time(nullptr));
  file.check = Crc32(bytes);
  return TemporaryNameFor(file);
}

std::uint32_t Crc32(std::string_view bytes) {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
      std::uint32_t c = i;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[i] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (const char b : bytes) crc = table[(crc ^ static_cast<unsigned char>(b)) & 0xFF] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

std::optional<TemporaryFile> ParseTemporaryName(std::string_view name) {
  TemporaryFile file;
  if (name.size() > kWholeSuffix.size() && name.substr(name.size() - kWholeSuffix.size()) == kWholeSuffix) {
    file.replaces = true;
  } else if (name.size() <= kNewSuffix.size() || name.substr(name.size() - kNewSuffix.size()) != kNewSuffix) {
    return std::nullopt;
  }
  name.remove_suffix(kWholeSuffix.size());   // both suffixes are four bytes long
  // The tag begins with '.', which is never part of a longer character.
  const std::size_t tag = name.rfind(kTempTag);
  if (tag == std::string_view::npos || tag == 0) return std::nullopt;
  const std::string_view numbers = name.substr(tag + kTempTag.size());
  file.file_name = std::string(name.substr(0, tag));
  std::string_view fields[5];
  std::size_t count = 0;
  for (std::size_t from = 0; count < 5;) {
    const std::size_t dash = numbers.find('-', from);
    fields[count++] = numbers.substr(from, dash == std::string_view::npos ? dash : dash - from);
    if (dash == std::string_view::npos) break;
    from = dash + 1;
    if (count == 5) return std::nullopt;   // more fields than either form has
  }
  if (count == 2) {
    if (!AllDigits(fields[0]) || !AllDigits(fields[1])) return std::nullopt;
    return file;
  }
  if (count != 5) return std::nullopt;
  const auto machine = Hex(fields[0], 8), process = Hex(fields[1], 8), serial = Hex(fields[2], 8),
             time = Hex(fields[3], 16), check = Hex(fields[4], 8);
  if (!machine || !process || !serial || !time || !check) return std::nullopt;
  file.tagged = true;
  file.machine = static_cast<std::uint32_t>(*machine);
  file.process = static_cast<unsigned long>(*process);
  file.serial = static_cast<unsigned long>(*serial);
  file.time = *time;
  file.check = static_cast<std::uint32_t>(*check);
  return file;
}

std::string FolderOf(std::string_view path) {
  const std::size_t sep = LastSeparator(path);
  return sep == std::string_view::npos ? std::string() : std::string(path.substr(0, sep + 1));
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string joined(folder);
  if (!folder.empty() && LastSeparator(folder) != folder.size() - 1) joined += Separator();
  joined += name;
  return joined;
}

}  // namespace korvane::os
