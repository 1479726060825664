#pragma once
// Scratch folders, file conditions and group-file bytes for the tests, on
// POSIX and on Windows (under Wine). The data folder's name is Japanese, as
// a user's folder may be (in code page 932 it would end in a 0x5C trail
// byte: "表" is 95 5C).
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace korvane::testing {

// The name of every test data folder: "ソフト表".
extern const char* const kDataFolderName;

class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();

  // The data folder, with its trailing separator, as the exe's folder is given.
  const std::string& path() const { return path_; }
  std::string File(std::string_view name) const;
  // A file of the folder (or of a subfolder) with these bytes; answers its
  // full name. A failure throws (the test fails).
  std::string Write(std::string_view name, std::string_view bytes = "x") const;
  // A subfolder; answers its full name with the trailing separator.
  std::string MakeFolder(std::string_view name) const;
  // The bytes of a file of the folder, or "<missing>".
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;
  // Names in the folder, sorted.
  std::vector<std::string> Names() const;

 private:
  std::string root_;
  std::string path_;
};

// An entry of a group file.
struct Entry {
  std::string title;
  std::string path;
};
// The code page 932 bytes of UTF-8 text; text that does not fit throws.
std::string Cp932(std::string_view utf8);

// A group file as the program writes it in code page 932: sections
// "01".."20", TITLE then PATH, CR LF; `entries` (UTF-8) fill the first
// sections, the rest are empty, and `extra` follows.
std::string GroupFileBytes(const std::vector<Entry>& entries, std::string_view extra = "");
// A group file of twenty entries whose titles are `titles` as they are
// (the rest empty, every path empty).
std::string FileOf(const std::vector<std::string>& titles);

bool MakeFolder(const std::string& path);
// Removes a folder and everything in it (read-only entries included); the
// trailing separator is optional.
void RemoveTree(std::string folder);
// Writes the bytes with the test's own plain writer (not the os layer).
bool WriteBytes(const std::string& path, std::string_view bytes);
// A writer as a slow copy or a sync client writes: the file opened for
// writing (others may read it), first written, then after pause_ms the
// rest, then closed; on a thread of its own, joined by the destructor.
class SlowWriter {
 public:
  SlowWriter(const std::string& path, std::string first, std::string rest, unsigned pause_ms);
  SlowWriter(const SlowWriter&) = delete;
  SlowWriter& operator=(const SlowWriter&) = delete;
  ~SlowWriter();
  // Returns once first is in the file.
  void WaitForFirst();

 private:
  std::atomic<bool> first_{false};   // before the thread, which sets it
  std::thread thread_;
};

// The file's last-write time set seconds back from now.
bool AgeFile(const std::string& path, unsigned seconds);
// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadBytes(const std::string& path);
// Writes a file whose name is given in UTF-16, through the W functions and
// "\\?\" so that full names beyond the path limit and names UTF-8 cannot
// spell are made too. Windows only (false elsewhere).
bool WriteWideNamed(const std::string& folder, std::u16string_view name, std::string_view bytes);
// A UTF-16LE file's bytes, as Notepad saves "Unicode": FF FE, then the text.
std::string Utf16File(std::u16string_view text);
// Names in the folder, sorted (entries of the os layer's listing).
std::vector<std::string> SortedNames(const std::string& folder);

// The read-only attribute on Windows; all write bits off on POSIX.
void SetReadOnly(const std::string& path, bool read_only);
// The hidden attribute (Windows only; false elsewhere).
bool SetHidden(const std::string& path);
bool IsHidden(const std::string& path);

// Another program holding the file open. On Windows a real handle with the
// given sharing; on POSIX, which has no such locks, the file's permissions
// are taken away, which only works for an unprivileged user: Effective()
// says whether the condition holds.
enum class Sharing { None, ReadOnly, ReadWrite };
class HeldOpen {
 public:
  HeldOpen(const std::string& path, Sharing sharing);
  HeldOpen(const HeldOpen&) = delete;
  HeldOpen& operator=(const HeldOpen&) = delete;
  ~HeldOpen();
  bool Effective() const { return effective_; }
  void Release();

 private:
  std::string path_;
  std::uintptr_t handle_ = 0;
  std::uint32_t mode_ = 0;
  bool effective_ = false;
};

// A folder in which no new file can be made. Effective() is false where the
// test runs with privileges that ignore it (root on POSIX, Wine run as root).
class UnwritableFolder {
 public:
  explicit UnwritableFolder(const std::string& folder);
  UnwritableFolder(const UnwritableFolder&) = delete;
  UnwritableFolder& operator=(const UnwritableFolder&) = delete;
  ~UnwritableFolder();
  bool Effective() const { return effective_; }

 private:
  std::string folder_;
  bool effective_ = false;
};

}  // namespace korvane::testing
