#pragma once
// The core's only window onto the operating system. Names are byte strings
// in the system code page (932 on Windows); the POSIX layer passes them
// through unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace korvane::os {

struct DirEntry {
  std::string name;   // file name without folder
  bool is_folder = false;
};

// Result of a file operation: ok, or the system's error code.
struct Status {
  bool ok = true;
  std::uint32_t error = 0;   // GetLastError() / errno when !ok
  explicit operator bool() const { return ok; }
};

// Every entry of a folder ("." and ".." left out). Windows keeps the order
// the system gives; POSIX sorts by name.
std::optional<std::vector<DirEntry>> ListFolder(const std::string& folder);

// True when path names an existing entry that is not a folder, by its
// attributes; a name with '*' or '?' never exists.
bool FileExists(const std::string& path);

// Whole content; nullopt (and error) when it cannot be read.
std::optional<std::string> ReadFile(const std::string& path, std::uint32_t* error = nullptr);
// True when the entry exists at all (file or folder).
bool PathExists(const std::string& path);

// Replaces the file's content with bytes, atomically where the system
// allows: a temporary file beside it, flushed, then swapped in (keeping
// attributes). A read-only original refuses. When the swap is refused on a
// writable original, or the folder takes no new file, the bytes are written
// in place.
Status ReplaceFile(const std::string& path, const std::string& bytes);

// Deletes a file; a file already gone counts as success.
Status DeleteFile(const std::string& path);

// The folder of the running executable, with its trailing separator.
std::string ExeFolder();

// The folder separator of the platform ('\\' or '/').
char Separator();

}  // namespace korvane::os
