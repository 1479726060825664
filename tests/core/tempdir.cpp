#ifdef _WIN32
#include <windows.h>
#else
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "data/groupfiles.h"
#include "data/os.h"
#include "tests/core/tempdir.h"

#include "common/text.h"

namespace korvane::testing {

const char* const kDataFolderName = "ソフト表";

namespace {

#ifdef _WIN32
// The UTF-16 of a UTF-8 name, for the wide functions.
std::wstring W(std::string_view utf8) {
  const std::u16string wide = Utf16FromUtf8(utf8);
  return std::wstring(wide.begin(), wide.end());
}

void RemoveTreeAt(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &data);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
      if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) RemoveTreeAt(path);
      else DeleteFileW(path.c_str());
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  RemoveDirectoryW(folder.c_str());
}
void RemoveTreeAt(const std::string& folder) { RemoveTreeAt(W(folder)); }
#else
void RemoveTreeAt(const std::string& folder) {
  ::chmod(folder.c_str(), 0700);
  if (DIR* dir = ::opendir(folder.c_str())) {
    while (const dirent* entry = ::readdir(dir)) {
      const std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      const std::string path = folder + "/" + name;
      struct stat st {};
      if (::lstat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) RemoveTreeAt(path);
      else ::unlink(path.c_str());
    }
    ::closedir(dir);
  }
  ::rmdir(folder.c_str());
}
#endif

}  // namespace

void RemoveTree(std::string folder) {
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) {
    folder.pop_back();
  }
  RemoveTreeAt(folder);
}

TempDir::TempDir() {
#ifdef _WIN32
  wchar_t temp[MAX_PATH + 1];
  GetTempPathW(MAX_PATH + 1, temp);
  const std::wstring_view temp_view = temp;
  static unsigned serial = 0;
  for (;;) {
    root_ = Utf8FromUtf16(std::u16string(temp_view.begin(), temp_view.end())) + "korvane-" +
            std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++serial);
    if (CreateDirectoryW(W(root_).c_str(), nullptr)) break;
    if (GetLastError() != ERROR_ALREADY_EXISTS) std::abort();
  }
  path_ = root_ + "\\" + kDataFolderName;
  if (!CreateDirectoryW(W(path_).c_str(), nullptr)) std::abort();
  path_ += "\\";
#else
  const char* tmp = std::getenv("TMPDIR");
  std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/korvane-XXXXXX";
  if (!::mkdtemp(pattern.data())) std::abort();
  root_ = pattern;
  path_ = root_ + "/" + kDataFolderName;
  if (::mkdir(path_.c_str(), 0755) != 0) std::abort();
  path_ += "/";
#endif
}

TempDir::~TempDir() { RemoveTree(root_); }

std::string TempDir::File(std::string_view name) const { return os::JoinPath(path_, name); }

std::string TempDir::Write(std::string_view name, std::string_view bytes) const {
  const std::string full = File(name);
  if (!WriteBytes(full, bytes)) throw std::runtime_error("cannot write " + full);
  return full;
}

std::string TempDir::MakeFolder(std::string_view name) const {
  const std::string full = File(name);
  if (!testing::MakeFolder(full)) throw std::runtime_error("cannot make " + full);
  return os::JoinPath(full, "");
}

std::string TempDir::Read(std::string_view name) const { return ReadBytes(File(name)); }

bool TempDir::Exists(std::string_view name) const {
#ifdef _WIN32
  return GetFileAttributesW(W(File(name)).c_str()) != INVALID_FILE_ATTRIBUTES;
#else
  return ::access(File(name).c_str(), F_OK) == 0;
#endif
}

std::vector<std::string> TempDir::Names() const { return SortedNames(path_); }

std::string Cp932(std::string_view utf8) {
  const std::optional<std::string> bytes = Cp932FromUtf8(utf8);
  if (!bytes) throw std::invalid_argument("no code page 932 text: " + std::string(utf8));
  return *bytes;
}

std::string FileOf(const std::vector<std::string>& titles) {
  std::string bytes;
  for (std::size_t i = 0; i < kEntryCount; ++i)
    bytes += "[" + EntrySection(i + 1, kEntryCount) + "]\r\nTITLE=" + (i < titles.size() ? titles[i] : "") +
             "\r\nPATH=\r\n";
  return bytes;
}

std::string GroupFileBytes(const std::vector<Entry>& entries, std::string_view extra) {
  std::string bytes;
  for (std::size_t n = 1; n <= 20; ++n) {
    char section[8];
    std::snprintf(section, sizeof section, "[%02u]\r\n", static_cast<unsigned>(n));
    const Entry e = n <= entries.size() ? entries[n - 1] : Entry{};
    bytes += section;
    bytes += "TITLE=" + Cp932(e.title) + "\r\nPATH=" + Cp932(e.path) + "\r\n";
  }
  bytes += Cp932(extra);
  return bytes;
}

bool MakeFolder(const std::string& path) {
#ifdef _WIN32
  return CreateDirectoryW(W(path).c_str(), nullptr) != FALSE;
#else
  return ::mkdir(path.c_str(), 0755) == 0;
#endif
}

bool WriteBytes(const std::string& path, std::string_view bytes) {
#ifdef _WIN32
  std::FILE* file = _wfopen(W(path).c_str(), L"wb");
#else
  std::FILE* file = std::fopen(path.c_str(), "wb");
#endif
  if (!file) return false;
  const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

SlowWriter::SlowWriter(const std::string& path, std::string first, std::string rest, unsigned pause_ms)
    : thread_([this, path, first = std::move(first), rest = std::move(rest), pause_ms] {
#ifdef _WIN32
        HANDLE file = CreateFileW(W(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        DWORD done = 0;
        if (file != INVALID_HANDLE_VALUE) WriteFile(file, first.data(), static_cast<DWORD>(first.size()), &done, nullptr);
        first_ = true;
        os::Pause(pause_ms);
        if (file != INVALID_HANDLE_VALUE) {
          WriteFile(file, rest.data(), static_cast<DWORD>(rest.size()), &done, nullptr);
          CloseHandle(file);
        }
#else
        const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
        if (fd >= 0 && ::write(fd, first.data(), first.size()) < 0) first_ = true;
        first_ = true;
        os::Pause(pause_ms);
        if (fd >= 0) {
          if (::write(fd, rest.data(), rest.size()) < 0) first_ = true;
          ::close(fd);
        }
#endif
      }) {}

SlowWriter::~SlowWriter() { thread_.join(); }

void SlowWriter::WaitForFirst() {
  while (!first_) std::this_thread::yield();
}

bool AgeFile(const std::string& path, unsigned seconds) {
#ifdef _WIN32
  HANDLE file = CreateFileW(W(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(seconds) * 10000000u;
  const FILETIME then{t.LowPart, t.HighPart};
  const bool ok = SetFileTime(file, nullptr, nullptr, &then) != FALSE;
  CloseHandle(file);
  return ok;
#else
  timespec times[2] = {{::time(nullptr) - seconds, 0}, {::time(nullptr) - seconds, 0}};
  return ::utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
#endif
}

std::string ReadBytes(const std::string& path) {
  return os::ReadFile(path).value_or("<missing>");
}

bool WriteWideNamed(const std::string& folder, std::u16string_view name, std::string_view bytes) {
#ifdef _WIN32
  const std::wstring path = L"\\\\?\\" + W(folder) + std::wstring(name.begin(), name.end());
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
                  written == bytes.size();
  return CloseHandle(file) && ok;
#else
  (void)folder;
  (void)name;
  (void)bytes;
  return false;
#endif
}

std::string Utf16File(std::u16string_view text) {
  std::string bytes = "\xFF\xFE";
  for (const char16_t u : text) {
    bytes += static_cast<char>(u & 0xFF);
    bytes += static_cast<char>(u >> 8);
  }
  return bytes;
}

std::vector<std::string> SortedNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const os::DirEntry& entry : os::ListFolder(folder).value_or(std::vector<os::DirEntry>{}))
    names.push_back(entry.name);
  std::sort(names.begin(), names.end());
  return names;
}

void SetReadOnly(const std::string& path, bool read_only) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  SetFileAttributesW(W(path).c_str(), read_only ? (attributes | FILE_ATTRIBUTE_READONLY)
                                             : (attributes & ~DWORD{FILE_ATTRIBUTE_READONLY}));
#else
  struct stat st {};
  ::stat(path.c_str(), &st);
  ::chmod(path.c_str(), read_only ? (st.st_mode & 07555) : (st.st_mode | 0200));
#endif
}

bool SetHidden(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  return SetFileAttributesW(W(path).c_str(), attributes | FILE_ATTRIBUTE_HIDDEN) && IsHidden(path);
#else
  (void)path;
  return false;
#endif
}

bool IsHidden(const std::string& path) {
#ifdef _WIN32
  const DWORD attributes = GetFileAttributesW(W(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
#else
  (void)path;
  return false;
#endif
}

HeldOpen::HeldOpen(const std::string& path, Sharing sharing) : path_(path) {
#ifdef _WIN32
  const DWORD share = sharing == Sharing::None       ? 0
                      : sharing == Sharing::ReadOnly ? FILE_SHARE_READ
                                                     : FILE_SHARE_READ | FILE_SHARE_WRITE;
  HANDLE handle = CreateFileW(W(path).c_str(), GENERIC_READ | GENERIC_WRITE, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  effective_ = handle != INVALID_HANDLE_VALUE;
  handle_ = reinterpret_cast<std::uintptr_t>(handle);
#else
  // Only "nobody may read or write" can be imitated.
  struct stat st {};
  if (sharing != Sharing::None || ::stat(path.c_str(), &st) != 0) return;
  mode_ = st.st_mode & 07777;
  ::chmod(path.c_str(), 0);
  const int probe = ::open(path.c_str(), O_RDONLY);
  effective_ = probe < 0;
  if (probe >= 0) ::close(probe);
  handle_ = 1;
#endif
}

HeldOpen::~HeldOpen() { Release(); }

void HeldOpen::Release() {
  if (!handle_) return;
#ifdef _WIN32
  if (effective_) CloseHandle(reinterpret_cast<HANDLE>(handle_));
#else
  ::chmod(path_.c_str(), mode_);
#endif
  handle_ = 0;
}

UnwritableFolder::UnwritableFolder(const std::string& folder) : folder_(folder) {
  const std::string probe = os::JoinPath(folder, "probe.txt");
#ifdef _WIN32
  SetFileAttributesW(W(folder).c_str(), GetFileAttributesW(W(folder).c_str()) | FILE_ATTRIBUTE_READONLY);
  HANDLE handle = CreateFileW(W(probe).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
  effective_ = handle == INVALID_HANDLE_VALUE;
  if (!effective_) {
    CloseHandle(handle);
    DeleteFileW(W(probe).c_str());
  }
#else
  ::chmod(folder.c_str(), 0555);
  const int fd = ::open(probe.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0644);
  effective_ = fd < 0;
  if (fd >= 0) {
    ::close(fd);
    ::unlink(probe.c_str());
  }
#endif
}

UnwritableFolder::~UnwritableFolder() {
#ifdef _WIN32
  SetFileAttributesW(W(folder_).c_str(), GetFileAttributesW(W(folder_).c_str()) & ~DWORD{FILE_ATTRIBUTE_READONLY});
#else
  ::chmod(folder_.c_str(), 0755);
#endif
}

}  // namespace korvane::testing
