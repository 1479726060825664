// The parts of the os layer that are the same on every platform: name
// arithmetic on code page 932 byte strings.
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

constexpr std::string_view kTempPrefix = "~Korvane-";
constexpr std::string_view kTempSuffix = ".tmp";

// Offset of the last separator, or npos. On Windows a 0x5C trail byte of a
// double-byte character ("ソ" is 83 5C) is not a backslash.
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

bool IsTemporaryName(std::string_view file_name) {
  return file_name.size() > kTempPrefix.size() + kTempSuffix.size() &&
         file_name.substr(0, kTempPrefix.size()) == kTempPrefix &&
         file_name.substr(file_name.size() - kTempSuffix.size()) == kTempSuffix;
}

std::string TemporaryNameFor(unsigned long process, unsigned long serial) {
  return std::string(kTempPrefix) + std::to_string(process) + "-" + std::to_string(serial) +
         std::string(kTempSuffix);
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
