#include "data/entry_path.h"

#include <algorithm>
#include <vector>

namespace korvane {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

bool HasDrive(std::string_view path) { return path.size() >= 2 && IsLetter(path[0]) && path[1] == ':'; }

bool IsShare(std::string_view path) { return path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1]); }

// The root of a full path: "E:" for a drive, "\\server\share" for a share,
// empty for anything else.
std::string_view RootOf(std::string_view path) {
  if (HasDrive(path)) return path.substr(0, 2);
  if (!IsShare(path)) return {};
  // Past the server's name and the share's.
  std::size_t at = 2;
  for (int part = 0; part < 2 && at <= path.size(); ++part) {
    while (at < path.size() && !IsSeparator(path[at])) ++at;
    if (part == 0) ++at;
  }
  return path.substr(0, std::min(at, path.size()));
}

// root followed by the steps of rest, "." and ".." resolved without going
// above root.
std::string Join(std::string_view root, std::string_view rest) {
  std::vector<std::string_view> steps;
  std::size_t start = 0;
  for (std::size_t i = 0; i <= rest.size(); ++i) {
    if (i < rest.size() && !IsSeparator(rest[i])) continue;
    const std::string_view step = rest.substr(start, i - start);
    start = i + 1;
    if (step.empty() || step == ".") continue;
    if (step == "..") {
      if (!steps.empty()) steps.pop_back();
      continue;
    }
    steps.push_back(step);
  }
  std::string path(root);
  for (const std::string_view step : steps) {
    path += '\\';
    path += step;
  }
  // A name that ended in a separator keeps it ("..\" is a folder).
  if (steps.empty() || (!rest.empty() && IsSeparator(rest.back()))) path += '\\';
  return path;
}

}  // namespace

std::string StoredPathFor(std::string_view chosen, std::string_view exe_folder, bool exe_on_removable) {
  if (!exe_on_removable || !HasDrive(chosen) || !HasDrive(exe_folder) || chosen.size() < 3 || !IsSeparator(chosen[2]))
    return std::string(chosen);
  if ((chosen[0] | 0x20) != (exe_folder[0] | 0x20)) return std::string(chosen);
  return std::string(chosen.substr(2));
}

std::string ResolveEntryPath(std::string_view stored, std::string_view exe_folder) {
  if (stored.empty() || HasDrive(stored) || IsShare(stored)) return std::string(stored);
  const std::string_view root = RootOf(exe_folder);
  if (root.empty()) return std::string(stored);   // no folder to resolve against
  if (IsSeparator(stored[0])) return Join(root, stored);
  std::string rest(exe_folder.substr(root.size()));
  if (!rest.empty() && !IsSeparator(rest.back())) rest += '\\';
  rest += stored;
  return Join(root, rest);
}

std::vector<std::string> PastedPaths(std::string_view text) {
  std::vector<std::string> paths;
  const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    while (!line.empty() && blank(line.front())) line.remove_prefix(1);
    while (!line.empty() && blank(line.back())) line.remove_suffix(1);
    if (line.size() >= 2 && line.front() == '"' && line.back() == '"') line = line.substr(1, line.size() - 2);
    if (!line.empty()) paths.emplace_back(line);
  }
  return paths;
}

bool IsFullPath(std::string_view path) {
  if (IsShare(path)) return path.size() > 2 && !IsSeparator(path[2]);
  return HasDrive(path) && path.size() > 3 && IsSeparator(path[2]);
}

}  // namespace korvane
