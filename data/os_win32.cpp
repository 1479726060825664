// The os layer on Windows: the A functions throughout, so names stay code
// page 932 bytes exactly as the directory search gives them.
#include <windows.h>

#include <algorithm>
#include <new>
#include <stdexcept>

#include "data/os.h"

namespace korvane::os {

namespace {

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE handle) : handle_(handle) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { reset(); }
  HANDLE get() const { return handle_; }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  // Closes now; false (last error set) when the close fails.
  bool reset() {
    const HANDLE handle = handle_;
    handle_ = INVALID_HANDLE_VALUE;
    return handle == INVALID_HANDLE_VALUE || CloseHandle(handle) != FALSE;
  }

 private:
  HANDLE handle_;
};

class UniqueFind {
 public:
  explicit UniqueFind(HANDLE handle) : handle_(handle) {}
  UniqueFind(const UniqueFind&) = delete;
  UniqueFind& operator=(const UniqueFind&) = delete;
  ~UniqueFind() {
    if (handle_ != INVALID_HANDLE_VALUE) FindClose(handle_);
  }
  explicit operator bool() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

Status Fail(DWORD error) { return {false, error}; }
Status LastError() { return Fail(GetLastError()); }

bool SetPosition(HANDLE file, std::size_t offset) {
  LARGE_INTEGER to;
  to.QuadPart = static_cast<LONGLONG>(offset);
  return SetFilePointerEx(file, to, nullptr, FILE_BEGIN) != FALSE;
}

bool WriteAll(HANDLE file, const std::string& bytes) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
    DWORD written = 0;
    if (!::WriteFile(file, bytes.data() + done, chunk, &written, nullptr)) return false;
    done += written;
  }
  return true;
}

// The file's content overwritten where it lies, as Windows' own profile
// writer does. OPEN_ALWAYS, not CREATE_ALWAYS: the latter refuses a hidden
// or system file.
Status WriteInPlace(const std::string& path, const std::string& bytes) {
  // Sharing as wide as a program that already holds the file for writing
  // (but not for deleting, so no swap) allows.
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return LastError();
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return LastError();
  // Room first, so a full disk refuses before the old content is touched.
  if (static_cast<ULONGLONG>(size.QuadPart) < bytes.size() &&
      (!SetPosition(file.get(), bytes.size()) || !SetEndOfFile(file.get())))
    return LastError();
  if (!SetPosition(file.get(), 0) || !WriteAll(file.get(), bytes) || !SetPosition(file.get(), bytes.size()) ||
      !SetEndOfFile(file.get()) || !FlushFileBuffers(file.get()))
    return LastError();
  if (!file.reset()) return LastError();
  return {};
}

// False when the file cannot be opened for deletion, as a swap must.
bool Deletable(const std::string& path) {
  UniqueHandle probe(CreateFileA(path.c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(probe);
}

// ReplaceFileA keeps the original's attributes on Windows; Wine's does not,
// so the ones that matter to the user are put back when they went missing.
void KeepAttributes(const std::string& path, DWORD before) {
  constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
  const DWORD now = GetFileAttributesA(path.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (now & kKept) != (before & kKept))
    SetFileAttributesA(path.c_str(), (now & ~kKept) | (before & kKept));
}

std::wstring Wide(std::string_view text) {
  if (text.empty()) return std::wstring();
  const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(n), L'\0');
  if (n > 0) MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

}  // namespace

std::optional<std::vector<DirEntry>> ListFolder(const std::string& folder, std::uint32_t* error) {
  WIN32_FIND_DATAA data;
  UniqueFind find(FindFirstFileA(JoinPath(folder, "*").c_str(), &data));
  std::vector<DirEntry> entries;
  if (!find) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND) return entries;   // an empty root folder has no "." either
    if (error) *error = e;
    return std::nullopt;
  }
  do {
    const std::string_view name = data.cFileName;
    if (name == "." || name == "..") continue;
    entries.push_back({std::string(name), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileA(find.get(), &data));
  const DWORD e = GetLastError();
  if (e != ERROR_NO_MORE_FILES) {
    if (error) *error = e;
    return std::nullopt;
  }
  return entries;
}

bool SystemFileExists(const std::string& path) {
  // '*' and '?' are never trail bytes, so a byte search is exact.
  if (path.empty() || path.find_first_of("*?") != std::string::npos) return false;
  const DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsNotFound(std::uint32_t error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::optional<std::string> ReadFile(const std::string& path, std::uint32_t* error) {
  const auto fail = [error](DWORD e) -> std::optional<std::string> {
    if (error) *error = e;
    return std::nullopt;
  };
  UniqueHandle file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return fail(GetLastError());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return fail(GetLastError());
  try {
    std::string bytes;
    if (static_cast<ULONGLONG>(size.QuadPart) >= bytes.max_size()) return fail(ERROR_NOT_ENOUGH_MEMORY);
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t done = 0;
    for (;;) {
      if (done == bytes.size()) bytes.resize(done + 65536);   // the file grew meanwhile
      DWORD got = 0;
      const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
      if (!::ReadFile(file.get(), bytes.data() + done, want, &got, nullptr)) return fail(GetLastError());
      if (got == 0) break;
      done += got;
    }
    bytes.resize(done);
    return bytes;
  } catch (const std::bad_alloc&) {
    return fail(ERROR_NOT_ENOUGH_MEMORY);
  } catch (const std::length_error&) {
    return fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

Status ReplaceFile(const std::string& path, const std::string& bytes) {
  const DWORD attributes = GetFileAttributesA(path.c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists && !IsNotFound(GetLastError())) return LastError();
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return Fail(ERROR_ACCESS_DENIED);

  static unsigned long serial = 0;
  const std::string temp = JoinPath(FolderOf(path), TemporaryNameFor(GetCurrentProcessId(), ++serial));
  UniqueHandle file(CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return WriteInPlace(path, bytes);   // the folder takes no new file

  if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.reset()) {
    const DWORD e = GetLastError();
    file.reset();
    DeleteFileA(temp.c_str());
    return Fail(e);
  }
  if (!exists) {
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_WRITE_THROUGH)) return {};
    DeleteFileA(temp.c_str());
    return WriteInPlace(path, bytes);
  }
  if (!Deletable(path)) {
    // Held open by another program without delete sharing: no swap can
    // work (and Wine's ReplaceFileA would leave a stray "rf*.tmp" behind).
    DeleteFileA(temp.c_str());
    return WriteInPlace(path, bytes);
  }
  if (ReplaceFileA(path.c_str(), temp.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
    KeepAttributes(path, attributes);
    return {};
  }
  const DWORD e = GetLastError();
  if (e == ERROR_UNABLE_TO_MOVE_REPLACEMENT || e == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2) {
    // The original was moved away and the new bytes are only in the
    // temporary file: they go to the original's name by any way that works.
    if (MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      KeepAttributes(path, attributes);
      return {};
    }
    const Status written = WriteInPlace(path, bytes);
    if (written) DeleteFileA(temp.c_str());
    return written;
  }
  // Refused with both files in place (the original is held open without
  // delete sharing, say): write where it lies.
  DeleteFileA(temp.c_str());
  return WriteInPlace(path, bytes);
}

Status DeleteFile(const std::string& path) {
  if (DeleteFileA(path.c_str())) return {};
  const DWORD e = GetLastError();
  return IsNotFound(e) ? Status{} : Fail(e);
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a == b) return true;
  // The file system compares names in UTF-16 without case, like this; the
  // A functions read names in the system code page, so the same one here.
  const std::wstring wa = Wide(a), wb = Wide(b);
  if (wa.empty() || wb.empty()) return false;
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(), static_cast<int>(wb.size()),
                              TRUE) == CSTR_EQUAL;
}

namespace {
// The long name of the entry the search finds for path, or "" when none.
std::string SpellingOnDisk(const std::string& path) {
  WIN32_FIND_DATAA data;
  UniqueFind find(FindFirstFileA(path.c_str(), &data));
  return find ? std::string(data.cFileName) : std::string();
}
}  // namespace

Status MatchNameSpelling(const std::string& folder, const std::string& name) {
  if (name.find_first_of("*?") != std::string::npos) return {};
  const std::string path = JoinPath(folder, name);
  const std::string found = SpellingOnDisk(path);
  if (found.empty()) return LastError();
  // The search also matches a short 8.3 alias: only a long name that is the
  // same name without case is respelled.
  if (found == name || !SameFileName(found, name)) return {};
  const std::string from = JoinPath(folder, found);
  if (!MoveFileA(from.c_str(), path.c_str())) return LastError();
  if (SpellingOnDisk(path) == name) return {};
  // Wine takes a rename that changes only the case for no rename at all;
  // a step through another name does it.
  const std::string between = path + ".respell";
  if (!MoveFileA(from.c_str(), between.c_str())) return LastError();
  if (!MoveFileA(between.c_str(), path.c_str())) {
    const Status failed = LastError();
    MoveFileA(between.c_str(), from.c_str());
    return failed;
  }
  return {};
}

std::string ExeFolder() {
  std::string buffer(MAX_PATH, '\0');
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      return FolderOf(buffer);
    }
    if (buffer.size() >= 65536) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

char Separator() { return '\\'; }

}  // namespace korvane::os
