// The os layer on Windows: the wide functions throughout, names converted
// between the core's UTF-8 and UTF-16 at each call, so that a name may hold
// any character Windows allows.
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <new>
#include <string_view>
#include <stdexcept>

#include "common/kernel_handle.h"
#include "common/text.h"
#include "common/wide.h"
#include "data/os.h"

namespace korvane::os {

namespace {

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
  KernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
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
  KernelHandle probe(CreateFileW(Wide(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return static_cast<bool>(probe);
}

constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// The rename gives the file the temporary file's attributes: the ones that
// matter to the user are put back where they went missing.
void KeepAttributes(const std::string& path, DWORD before) {
  const std::wstring wide = Wide(path);
  const DWORD now = GetFileAttributesW(wide.c_str());
  if (now != INVALID_FILE_ATTRIBUTES && (now & kKeptAttributes) != (before & kKeptAttributes))
    SetFileAttributesW(wide.c_str(), (now & ~kKeptAttributes) | (before & kKeptAttributes));
}

// A temporary file made new beside path, named for it; an invalid handle
// when the folder takes none.
HANDLE CreateTemporary(const std::string& path, bool replaces, DWORD attributes, const std::string& bytes,
                       std::string& temp) {
  static unsigned long serial = 0;
  const std::string folder = FolderOf(path);
  const std::string_view name = std::string_view(path).substr(folder.size());
  for (int attempt = 0; attempt < 3; ++attempt) {
    temp = JoinPath(folder, TemporaryNameNow(name, replaces, bytes, ++serial));
    const HANDLE file = CreateFileW(Wide(temp).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    attributes ? attributes : FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return file;
  }
  return INVALID_HANDLE_VALUE;
}

FileStamp StampFrom(DWORD size_high, DWORD size_low, FILETIME written) {
  return {(static_cast<std::uint64_t>(size_high) << 32) | size_low,
          (static_cast<std::uint64_t>(written.dwHighDateTime) << 32) | written.dwLowDateTime};
}

}  // namespace

std::optional<std::vector<DirEntry>> ListFolder(const std::string& folder, std::uint32_t* error, bool) {
  WIN32_FIND_DATAW data;
  // Without the 8.3 aliases, which the listing never uses: under Wine each
  // one is computed per entry, a third of the listing's time.
  FindHandle find(FindFirstFileExW(Wide(JoinPath(folder, "*")).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                   nullptr, FIND_FIRST_EX_LARGE_FETCH));
  std::vector<DirEntry> entries;
  if (!find) {
    const DWORD e = GetLastError();
    if (e == ERROR_FILE_NOT_FOUND) return entries;   // an empty root folder has no "." either
    if (error) *error = e;
    return std::nullopt;
  }
  do {
    const std::wstring_view name = data.cFileName;
    if (name == L"." || name == L"..") continue;
    bool exact = true;
    // The search hands the stamps over with the names: no call more.
    entries.push_back({Narrow(name, &exact), (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                       StampFrom(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime), exact});
  } while (FindNextFileW(find.get(), &data));
  const DWORD e = GetLastError();
  if (e != ERROR_NO_MORE_FILES) {
    if (error) *error = e;
    return std::nullopt;
  }
  return entries;
}

bool SystemFileExists(const std::string& path) {
  if (path.empty() || HasWildcard(path)) return false;
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool PathExists(const std::string& path) {
  return !path.empty() && GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool IsNotFound(std::uint32_t error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

std::optional<FileStamp> StampOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (path.empty() || !GetFileAttributesExW(Wide(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return StampFrom(data.nFileSizeHigh, data.nFileSizeLow, data.ftLastWriteTime);
}

std::optional<std::string> ReadFile(const std::string& path, std::uint32_t* error, FileStamp* stamp) {
  const auto fail = [error](DWORD e) -> std::optional<std::string> {
    if (error) *error = e;
    return std::nullopt;
  };
  KernelHandle file(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
  if (!file) return fail(GetLastError());
  LARGE_INTEGER size;
  if (!GetFileSizeEx(file.get(), &size)) return fail(GetLastError());
  if (stamp) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(file.get(), &info)) return fail(GetLastError());
    *stamp = StampFrom(info.nFileSizeHigh, info.nFileSizeLow, info.ftLastWriteTime);
  }
  try {
    std::string bytes;
    if (static_cast<ULONGLONG>(size.QuadPart) >= bytes.max_size()) return fail(ERROR_NOT_ENOUGH_MEMORY);
    // One byte more than the file holds: the read that finds its end needs
    // no new room (growing would move every byte read so far).
    bytes.resize(static_cast<std::size_t>(size.QuadPart) + 1);
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
  } catch (const std::exception&) {
    // The buffer's growth is all that throws here: bad_alloc, or
    // length_error where the library's own throws are linked (the exe's
    // throw bad_alloc for both).
    return fail(ERROR_NOT_ENOUGH_MEMORY);
  }
}

namespace {
// The file at path is still the one read (as_read; nullopt: none). (One
// held open for writing but not written since is replaced, or refuses as
// it would have; a writer that began writing changed its stamp.)
bool StillAsRead(const std::string& path, const std::optional<FileStamp>& as_read) {
  return StampOf(path) == as_read;
}

Status Replace(const std::string& path, const std::string& bytes, const std::optional<FileStamp>* as_read) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
  if (!exists && !IsNotFound(GetLastError())) return LastError();
  if (exists && (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) != 0)
    return Fail(ERROR_ACCESS_DENIED);
  // Held open by another program without delete sharing: no rename over it
  // can work, so the bytes go where it lies.
  const auto changed = [&] { return as_read && !StillAsRead(path, *as_read); };
  if (exists && !Deletable(path)) return changed() ? Fail(kChangedMeanwhile) : WriteInPlace(path, bytes);

  std::string temp;
  KernelHandle file(CreateTemporary(path, exists, exists ? attributes & kKeptAttributes : 0, bytes, temp));
  if (!file) return changed() ? Fail(kChangedMeanwhile) : WriteInPlace(path, bytes);   // the folder takes no new file
  if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get()) || !file.reset()) {
    const DWORD e = GetLastError();
    file.reset();
    DeleteFileW(Wide(temp).c_str());
    return Fail(e);
  }
  if (changed()) {
    DeleteFileW(Wide(temp).c_str());
    return Fail(kChangedMeanwhile);
  }
  // One rename: the name holds the old file until it holds the new one.
  const DWORD flags = MOVEFILE_WRITE_THROUGH | (exists ? MOVEFILE_REPLACE_EXISTING : 0);
  if (MoveFileExW(Wide(temp).c_str(), Wide(path).c_str(), flags)) {
    if (exists) KeepAttributes(path, attributes);
    return {};
  }
  // Refused with both files in place: write where it lies.
  DeleteFileW(Wide(temp).c_str());
  return WriteInPlace(path, bytes);
}
}  // namespace

Status ReplaceFile(const std::string& path, const std::string& bytes) { return Replace(path, bytes, nullptr); }

Status ReplaceFileAsRead(const std::string& path, const std::string& bytes, const std::optional<FileStamp>& as_read) {
  return Replace(path, bytes, &as_read);
}

bool BeingWritten(const std::string& path) {
  // An open that lets no one else write is refused while another handle
  // may write; readers (who share reading) do not stand in its way.
  KernelHandle probe(CreateFileW(Wide(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

std::uint64_t TickMs() { return GetTickCount64(); }

void Pause(unsigned ms) { Sleep(ms); }

std::uint32_t MachineTag() {
  static const std::uint32_t tag = [] {
    wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
    if (!GetComputerNameW(name, &size)) size = 0;
    // FNV-1a over the UTF-16 units.
    std::uint32_t hash = 2166136261u;
    for (DWORD i = 0; i < size; ++i) {
      hash = (hash ^ (name[i] & 0xFF)) * 16777619u;
      hash = (hash ^ (name[i] >> 8)) * 16777619u;
    }
    return hash;
  }();
  return tag;
}

unsigned long ProcessId() { return GetCurrentProcessId(); }

bool ProcessRuns(unsigned long process, std::uint64_t started_by) {
  if (process == 0) return false;
  const HANDLE handle = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process);
  if (!handle) return GetLastError() == ERROR_ACCESS_DENIED;   // there, but not ours to open
  bool runs = WaitForSingleObject(handle, 0) == WAIT_TIMEOUT;
  FILETIME created, exited, kernel, user;
  if (runs && GetProcessTimes(handle, &created, &exited, &kernel, &user)) {
    // 100 ns units since 1601; 11644473600 seconds lie between 1601 and 1970.
    const std::uint64_t since_1601 =
        (static_cast<std::uint64_t>(created.dwHighDateTime) << 32 | created.dwLowDateTime) / 10000000u;
    runs = since_1601 <= started_by + 11644473600u + 1;
  }
  CloseHandle(handle);
  return runs;
}

Status RenameFile(const std::string& from, const std::string& to) {
  if (MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH)) return {};
  return LastError();
}

Status DeleteFile(const std::string& path) {
  if (DeleteFileW(Wide(path).c_str())) return {};
  const DWORD e = GetLastError();
  return IsNotFound(e) ? Status{} : Fail(e);
}

bool SameFileName(std::string_view a, std::string_view b) {
  if (a == b) return true;
  // The file system compares names in UTF-16 without case, like this.
  const std::wstring wa = Wide(a), wb = Wide(b);
  if (wa.empty() || wb.empty()) return false;
  return CompareStringOrdinal(wa.data(), static_cast<int>(wa.size()), wb.data(), static_cast<int>(wb.size()),
                              TRUE) == CSTR_EQUAL;
}

namespace {
// The long name of the entry the search finds for path, or "" when none.
std::string SpellingOnDisk(const std::string& path) {
  WIN32_FIND_DATAW data;
  FindHandle find(FindFirstFileW(Wide(path).c_str(), &data));
  return find ? Narrow(data.cFileName) : std::string();
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
  if (!MoveFileW(Wide(from).c_str(), Wide(path).c_str())) return LastError();
  if (SpellingOnDisk(path) == name) return {};
  // Wine takes a rename that changes only the case for no rename at all;
  // a step through another name does it.
  const std::string between = path + ".respell";
  if (!MoveFileW(Wide(from).c_str(), Wide(between).c_str())) return LastError();
  if (!MoveFileW(Wide(between).c_str(), Wide(path).c_str())) {
    const Status failed = LastError();
    MoveFileW(Wide(between).c_str(), Wide(from).c_str());
    return failed;
  }
  return {};
}

std::string ExeFolder() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return std::string();
    if (n < buffer.size()) {
      buffer.resize(n);
      return FolderOf(Narrow(buffer));
    }
    if (buffer.size() >= 65536) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

char Separator() { return '\\'; }

// The shell's delete with undo (the Recycle Bin where the folder has one),
// asking nothing: 0, the shell's error, or ERROR_CANCELLED when it gave up.
static DWORD ShellDeleteToBin(const std::string& path) {
  std::wstring from = Wide(path);   // a list of names ending in an empty one
  from.append(2, L'\0');
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = from.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
  const int result = SHFileOperationW(&op);
  if (result != 0) return static_cast<DWORD>(result);
  return op.fAnyOperationsAborted ? ERROR_CANCELLED : 0;
}

Status RecycleFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) {
    const DWORD e = GetLastError();
    return IsNotFound(e) ? Status{} : Fail(e);
  }
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Fail(ERROR_ACCESS_DENIED);
  if (attributes & FILE_ATTRIBUTE_READONLY) return Fail(ERROR_ACCESS_DENIED);
  // The shell would take a wildcard as a pattern of many files.
  if (path.find_first_of("*?") != std::string::npos) return DeleteFile(path);
  // A list of names ending in an empty one. Without a Recycle Bin for the
  // folder the shell deletes for good, asking nothing (no confirmation).
  if (ShellDeleteToBin(path) == 0 && !PathExists(path)) return {};
  // Refused or left in place (a shell without a Recycle Bin of its own):
  // deleted as without one, and a file still held reports why.
  return DeleteFile(path);
}

Status MoveToRecycleBin(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return LastError();
  if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) return Fail(ERROR_ACCESS_DENIED);
  if (path.find_first_of("*?") != std::string::npos) return Fail(ERROR_INVALID_NAME);
  // Only fixed disks have a Recycle Bin; elsewhere the shell would delete
  // the file for good without a word.
  wchar_t root[MAX_PATH + 1] = {};
  if (!GetVolumePathNameW(Wide(path).c_str(), root, MAX_PATH) || GetDriveTypeW(root) != DRIVE_FIXED)
    return Fail(ERROR_NOT_SUPPORTED);
  // The shell deletes for good, saying nothing, where it finds no Recycle
  // Bin after all (Wine without a trash folder): only a bin that holds one
  // item more afterwards counts.
  SHQUERYRBINFO before{};
  before.cbSize = sizeof before;
  if (FAILED(SHQueryRecycleBinW(root, &before))) return Fail(ERROR_NOT_SUPPORTED);
  const DWORD result = ShellDeleteToBin(path);
  if (result != 0 || PathExists(path)) return Fail(result != 0 ? result : ERROR_CANCELLED);
  SHQUERYRBINFO after{};
  after.cbSize = sizeof after;
  if (SUCCEEDED(SHQueryRecycleBinW(root, &after)) && after.i64NumItems > before.i64NumItems) return {};
  return Fail(ERROR_FILE_NOT_FOUND);   // gone for good: the caller still has the bytes
}

bool IsRemoteFolder(const std::string& folder) {
  if (folder.size() >= 2 && (folder[0] == '\\' || folder[0] == '/') && (folder[1] == '\\' || folder[1] == '/'))
    return true;
  if (folder.size() < 2 || folder[1] != ':') return false;
  return GetDriveTypeW(Wide(folder.substr(0, 2) + "\\").c_str()) == DRIVE_REMOTE;
}

bool IsRemovableDrive(const std::string& path) {
  // A drive letter's root only: a share or a relative path is on none.
  if (path.size() < 2 || path[1] != ':') return false;
  const char letter = static_cast<char>(path[0] | 0x20);
  if (letter < 'a' || letter > 'z') return false;
  return GetDriveTypeW(Wide(path.substr(0, 2) + "\\").c_str()) == DRIVE_REMOVABLE;
}

struct FolderWatch::Impl {
  HANDLE change = INVALID_HANDLE_VALUE;   // FindCloseChangeNotification closes it
  KernelHandle wake;
};

FolderWatch::FolderWatch(const std::string& folder) : impl_(new Impl) {
  impl_->change = FindFirstChangeNotificationW(
      Wide(folder).c_str(), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE);
  impl_->wake = KernelHandle(CreateEventW(nullptr, FALSE, FALSE, nullptr));
}

FolderWatch::~FolderWatch() {
  if (impl_->change != INVALID_HANDLE_VALUE) FindCloseChangeNotification(impl_->change);
  delete impl_;
}

bool FolderWatch::Opened() const { return impl_->change != INVALID_HANDLE_VALUE && impl_->wake; }

FolderWatch::Event FolderWatch::Wait(unsigned timeout_ms) {
  if (!Opened()) return Event::Failed;
  const HANDLE handles[2] = {impl_->wake.get(), impl_->change};
  switch (WaitForMultipleObjects(2, handles, FALSE, timeout_ms == kForever ? INFINITE : timeout_ms)) {
    case WAIT_OBJECT_0:
      return Event::Woken;
    case WAIT_OBJECT_0 + 1:
      // Armed again at once: a change made from here on signals anew.
      return FindNextChangeNotification(impl_->change) ? Event::Changed : Event::Failed;
    case WAIT_TIMEOUT:
      return Event::Timeout;
    default:
      return Event::Failed;
  }
}

void FolderWatch::Wake() {
  if (impl_->wake) SetEvent(impl_->wake.get());
}

}  // namespace korvane::os
