#pragma once
// The core's only window onto the operating system. Names and paths are
// UTF-8: the Windows layer converts them to UTF-16 for the wide functions
// at each call, the POSIX layer passes them through unchanged.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// <windows.h> maps these names to its own A/W functions; here they name
// ours. A file that needs both includes <windows.h> first.
#ifdef DeleteFile
#undef DeleteFile
#endif
#ifdef ReplaceFile
#undef ReplaceFile
#endif

namespace korvane::os {

// What tells one version of a file from the next without reading it: its
// size and last-write time (100 ns units on Windows, nanoseconds on POSIX).
struct FileStamp {
  std::uint64_t size = 0;
  std::uint64_t write_time = 0;
  bool operator==(const FileStamp&) const = default;
};

struct DirEntry {
  std::string name;   // file name without folder
  bool is_folder = false;
  FileStamp stamp;    // filled when the listing was asked for stamps
  // False when the system's name has no exact spelling in UTF-8 (a UTF-16
  // name holding an unpaired surrogate): name then holds U+FFFD for what
  // could not be spelled, and no file call reaches the entry by it.
  bool exact = true;
};

// Result of a file operation: ok, or the system's error code.
struct Status {
  bool ok = true;
  std::uint32_t error = 0;   // GetLastError() / errno when !ok
  explicit operator bool() const { return ok; }
};

// Every entry of a folder ("." and ".." left out). Windows keeps the order
// the system gives; POSIX sorts by name. nullopt (and error) when the folder
// cannot be listed. With stamps, each entry's stamp is filled too (free on
// Windows, one stat per entry on POSIX).
std::optional<std::vector<DirEntry>> ListFolder(const std::string& folder, std::uint32_t* error = nullptr,
                                                bool stamps = false);

// The stamp of a file as it stands now; nullopt when it cannot be had.
std::optional<FileStamp> StampOf(const std::string& path);

// True when path names an existing entry that is not a folder, by its
// attributes; a name with '*' or '?' never exists (HasWildcard).
bool FileExists(const std::string& path);
// True when path holds '*' or '?' anywhere but in a leading "\\?\" (the
// prefix that hands a path to the system unparsed).
bool HasWildcard(std::string_view path);
// Tests only: FileExists answers through `test` instead of the system (a
// slow or failing file system); nullptr puts the system back. Any thread
// may call FileExists meanwhile.
void SetExistenceTest(bool (*test)(const std::string& path));

// Whole content; nullopt (and error) when it cannot be read. Never throws:
// a file too large for memory is an error like any other. stamp, when
// given, gets the stamp of the open file before its bytes are read, so a
// change made while it is read shows as a later stamp.
std::optional<std::string> ReadFile(const std::string& path, std::uint32_t* error = nullptr,
                                    FileStamp* stamp = nullptr);
// True when the entry exists at all (file or folder).
bool PathExists(const std::string& path);
// True when error says the file (or its folder) does not exist, as opposed
// to a file that exists but cannot be read.
bool IsNotFound(std::uint32_t error);

// Units of FileStamp::write_time in a second.
#ifdef _WIN32
inline constexpr std::uint64_t kStampUnitsPerSecond = 10000000;
#else
inline constexpr std::uint64_t kStampUnitsPerSecond = 1000000000;
#endif

// True when another program holds the file open for writing: a copy or a
// sync client still writing it (Windows: an open that lets no one else
// write is refused; Linux: no read lease can be taken). False when it is
// not, and when the system cannot tell.
bool BeingWritten(const std::string& path);

// What ReplaceFileAsRead answers when the file is no longer the one read.
// (Bit 29 set: a code of the program's own, never the system's.)
inline constexpr std::uint32_t kChangedMeanwhile = 0x20004B01;

// Replaces the file's content with bytes, atomically where the system
// allows: a temporary file beside it, flushed, then renamed over the
// original in one step (keeping the hidden and system attributes), so the
// name always holds a whole file. A read-only original refuses (on POSIX: a file without any
// write permission bit). When the swap is refused on a writable original,
// or the folder takes no new file, the bytes are written in place.
Status ReplaceFile(const std::string& path, const std::string& bytes);

// The same, but only while the file is the one read: just before the
// rename (or the write in place) its stamp must still be as_read (nullopt:
// there must be no file); else nothing is replaced and the answer is
// kChangedMeanwhile.
Status ReplaceFileAsRead(const std::string& path, const std::string& bytes, const std::optional<FileStamp>& as_read);

// Milliseconds of a clock that never goes back, and a pause of this thread.
std::uint64_t TickMs();
void Pause(unsigned ms);

// Deletes a file; a file already gone counts as success. A read-only file
// refuses, on POSIX too (a file without any write permission bit).
Status DeleteFile(const std::string& path);

// The temporary files ReplaceFile writes beside the file it replaces:
// "<file name>.~Korvane-<machine>-<process>-<serial>-<time>-<check>.tmp"
// when that file exists, ".new" in place of ".tmp" when it does not. The
// name tells whose it is (the computer, MachineTag, and the process), how
// old (seconds since 1970, UTC) and what a whole one holds (the CRC-32 of
// its bytes), all in hexadecimal. Earlier versions wrote
// "<file name>.~Korvane-<process>-<serial>.tmp" (decimal), which tells
// none of that. Such a name never ends in the extension of the file it
// belongs to.
struct TemporaryFile {
  std::string file_name;   // the file it was written for
  bool replaces = false;   // written for an existing file
  bool tagged = false;     // the name tells the fields below
  std::uint32_t machine = 0;
  unsigned long process = 0;
  unsigned long serial = 0;
  std::uint64_t time = 0;
  std::uint32_t check = 0;
};
std::string TemporaryNameFor(const TemporaryFile& file);
// The name in the earlier form.
std::string TemporaryNameFor(std::string_view file_name, bool replaces, unsigned long process,
                             unsigned long serial);
// The file a temporary name was made for, or nullopt when the name is not
// one ReplaceFile makes (in either form).
std::optional<TemporaryFile> ParseTemporaryName(std::string_view name);
// This computer, as temporary names tell it: a hash of its name.
std::uint32_t MachineTag();
// This process's id, and whether a process of that id runs on this
// computer that started no later than started_by (seconds since 1970, UTC;
// where the system tells: a process that took over the id of an ended one
// does not count).
unsigned long ProcessId();
bool ProcessRuns(unsigned long process, std::uint64_t started_by);
// The CRC-32 (ISO-HDLC) of bytes.
std::uint32_t Crc32(std::string_view bytes);
// The temporary name ReplaceFile gives bytes written for file_name now.
std::string TemporaryNameNow(std::string_view file_name, bool replaces, std::string_view bytes, unsigned long serial);

// Renames from to to, which must not exist yet.
Status RenameFile(const std::string& from, const std::string& to);

// True when the two names, in one folder, name the same file: letter case
// ignored on Windows, exact bytes on POSIX.
bool SameFileName(std::string_view a, std::string_view b);

// Gives the entry in folder that is the same file as name (SameFileName)
// exactly the spelling name, when it is spelled otherwise. Nothing to do on
// POSIX.
Status MatchNameSpelling(const std::string& folder, const std::string& name);

// True when the full name is within the system's path limit (fewer than 260
// UTF-16 units), so that the file functions can reach it.
bool PathFits(std::string_view path);

// True when path lies on a removable drive (a USB stick, a card): its
// drive letter may differ on the next computer. Never on POSIX.
bool IsRemovableDrive(const std::string& path);

// True when folder lies on a network share (a UNC name or a mapped drive),
// whose change notifications may never come.
bool IsRemoteFolder(const std::string& folder);

// The folder of the running executable, with its trailing separator.
std::string ExeFolder();

// The folder part of a full file name, up to and including its last
// separator; empty when there is no separator.
std::string FolderOf(std::string_view path);

// folder and name joined by one separator (none added when folder is empty
// or already ends in a separator).
std::string JoinPath(std::string_view folder, std::string_view name);

// The folder separator of the platform ('\\' or '/').
char Separator();

// Moves a file to the Recycle Bin where its folder has one, and deletes it
// where it has none (POSIX: deletes). A file already gone counts as
// success; a read-only file refuses, as DeleteFile does.
Status RecycleFile(const std::string& path);

// Moves a file to the Recycle Bin: fails when its folder has no Recycle Bin
// (a network share, a removable disk, POSIX) or the shell refuses, leaving
// the file where it is; where the shell deleted it for good instead (no
// Recycle Bin after all) it fails too, so a caller never takes a copy for
// kept unless it is in the bin. Give it copies only.
Status MoveToRecycleBin(const std::string& path);

// Tells when the entries of a folder change: a file made, deleted or
// renamed, or its size or last-write time changed. One thread waits; any
// thread may wake it.
class FolderWatch {
 public:
  explicit FolderWatch(const std::string& folder);
  FolderWatch(const FolderWatch&) = delete;
  FolderWatch& operator=(const FolderWatch&) = delete;
  ~FolderWatch();

  // False when the folder cannot be watched (missing, or the system
  // refuses): Wait then answers Failed at once.
  bool Opened() const;

  enum class Event { Changed, Timeout, Woken, Failed };
  static constexpr unsigned kForever = 0xFFFFFFFFu;
  // Waits up to timeout_ms for a change. Changed is answered once for any
  // number of changes made before the call; a change made after it returns
  // is answered by the next call.
  Event Wait(unsigned timeout_ms);
  // Ends a Wait under way, or the next one, with Woken.
  void Wake();

 private:
  struct Impl;
  Impl* impl_;
};

}  // namespace korvane::os
