// The parts of the os layer that are the same on every platform: name
// arithmetic on UTF-8 strings.
#include <algorithm>
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
  const std::size_t dash = numbers.find('-');
  if (dash == std::string_view::npos || !AllDigits(numbers.substr(0, dash)) || !AllDigits(numbers.substr(dash + 1)))
    return std::nullopt;
  file.file_name = std::string(name.substr(0, tag));
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
