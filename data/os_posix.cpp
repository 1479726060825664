// The os layer on POSIX systems, where the core is built for tests and
// benchmarks. Names are UTF-8 bytes, passed through unchanged. A file without any
// write permission bit stands for a file with the read-only attribute.
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <new>
#include <stdexcept>

#include "data/os.h"

namespace korvane::os {

namespace {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { reset(); }
  int get() const { return fd_; }
  explicit operator bool() const { return fd_ >= 0; }
  void adopt(int fd) {
    reset();
    fd_ = fd;
  }
  // Closes now; false (errno set) when the close reports an error.
  bool reset() {
    const int fd = fd_;
    fd_ = -1;
    return fd < 0 || ::close(fd) == 0;
  }

 private:
  int fd_;
};

class UniqueDir {
 public:
  explicit UniqueDir(DIR* dir) : dir_(dir) {}
  UniqueDir(const UniqueDir&) = delete;
  UniqueDir& operator=(const UniqueDir&) = delete;
  ~UniqueDir() {
    if (dir_) ::closedir(dir_);
  }
  DIR* get() const { return dir_; }

 private:
  DIR* dir_;
};

Status Fail(int error) { return {false, static_cast<std::uint32_t>(error)}; }

bool ReadOnlyMode(mode_t mode) { return (mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0; }

bool WriteAll(int fd, const std::string& bytes, off_t offset) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done, offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<std::size_t>(n);
  }
  return true;
}

// The file's content overwritten where it lies, as Windows' own profile
// writer does when no temporary file can be made.
Status WriteInPlace(const std::string& path, const std::string& bytes) {
  UniqueFd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666));
  if (!fd) return Fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return Fail(errno);
  // Room first, so a full disk refuses before the old content is touched.
  if (static_cast<off_t>(bytes.size()) > st.st_size) {
    const int r = ::posix_fallocate(fd.get(), 0, static_cast<off_t>(bytes.size()));
    if (r != 0 && r != EOPNOTSUPP && r != EINVAL) return Fail(r);
  }
  if (!WriteAll(fd.get(), bytes, 0)) return Fail(errno);
  if (::ftruncate(fd.get(), static_cast<off_t>(bytes.size())) != 0) return Fail(errno);
  if (::fsync(fd.get()) != 0) return Fail(errno);
  if (!fd.reset()) return Fail(errno);
  return {};
}

void SyncFolder(const std::string& folder) {
  UniqueFd dir(::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir) ::fsync(dir.get());
}

FileStamp StampFrom(const struct stat& st) {
  return {static_cast<std::uint64_t>(st.st_size),
          static_cast<std::uint64_t>(st.st_mtim.tv_sec) * 1000000000u + static_cast<std::uint64_t>(st.st_mtim.tv_nsec)};
}

bool IsFolder(const std::string& folder, const dirent* entry) {
#ifdef _DIRENT_HAVE_D_TYPE
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN && entry->d_type != DT_LNK) return false;
#endif
  struct stat st {};
  return ::stat(JoinPath(folder, entry->d_name).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

std::optional<std::vector<DirEntry>> ListFolder(const std::string& folder, std::uint32_t* error, bool stamps) {
  UniqueDir dir(::opendir(folder.empty() ? "." : folder.c_str()));
  if (!dir.get()) {
    if (error) *error = static_cast<std::uint32_t>(errno);
    return std::nullopt;
  }
  std::vector<DirEntry> entries;
  for (;;) {
    errno = 0;
    const dirent* entry = ::readdir(dir.get());
    if (!entry) break;
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    DirEntry listed{std::string(name), false, {}};
    struct stat st {};
    if (stamps && ::stat(JoinPath(folder, name).c_str(), &st) == 0) {
      listed.is_folder = S_ISDIR(st.st_mode);
      listed.stamp = StampFrom(st);
    } else {
      listed.is_folder = IsFolder(folder, entry);
    }
    entries.push_back(std::move(listed));
  }
  if (errno != 0) {
    if (error) *error = static_cast<std::uint32_t>(errno);
    return std::nullopt;
  }
  std::sort(entries.begin(), entries.end(),
            [](const DirEntry& a, const DirEntry& b) { return a.name < b.name; });
  return entries;
}

bool SystemFileExists(const std::string& path) {
  if (path.empty() || HasWildcard(path)) return false;
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && ::stat(path.c_str(), &st) == 0;
}

bool IsNotFound(std::uint32_t error) { return error == ENOENT || error == ENOTDIR; }

std::optional<FileStamp> StampOf(const std::string& path) {
  struct stat st {};
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return std::nullopt;
  return StampFrom(st);
}

std::optional<std::string> ReadFile(const std::string& path, std::uint32_t* error, FileStamp* stamp) {
  const auto fail = [error](int e) -> std::optional<std::string> {
    if (error) *error = static_cast<std::uint32_t>(e);
    return std::nullopt;
  };
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  if (!fd) return fail(errno);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0) return fail(errno);
  if (S_ISDIR(st.st_mode)) return fail(EISDIR);
  if (stamp) *stamp = StampFrom(st);
  try {
    // Read straight into the string, sized as the file is and one byte
    // more, so that the read that finds the end needs no room of its own;
    // more room only when the file grew meanwhile.
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(st.st_size) + 1);
    std::size_t done = 0;
    for (;;) {
      if (done == bytes.size()) bytes.resize(done + 65536);
      const ssize_t n = ::read(fd.get(), bytes.data() + done, bytes.size() - done);
      if (n < 0) {
        if (errno == EINTR) continue;
        return fail(errno);
      }
      if (n == 0) break;
      done += static_cast<std::size_t>(n);
    }
    bytes.resize(done);
    return bytes;
  } catch (const std::bad_alloc&) {
    return fail(ENOMEM);
  } catch (const std::length_error&) {
    return fail(EFBIG);
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
  struct stat st {};
  const bool exists = ::stat(path.c_str(), &st) == 0;
  if (!exists && errno != ENOENT) return Fail(errno);
  if (exists && S_ISDIR(st.st_mode)) return Fail(EISDIR);
  if (exists && (ReadOnlyMode(st.st_mode) || ::access(path.c_str(), W_OK) != 0)) return Fail(EACCES);

  static unsigned long serial = 0;
  const std::string folder = FolderOf(path);
  const std::string_view name = std::string_view(path).substr(folder.size());
  const mode_t mode = exists ? (st.st_mode & 07777) : 0666;
  std::string temp;
  UniqueFd fd(-1);
  for (int attempt = 0; attempt < 3 && !fd; ++attempt) {
    temp = JoinPath(folder, TemporaryNameNow(name, exists, bytes, ++serial));
    fd.adopt(::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!fd && errno != EEXIST) break;
  }
  if (!fd) {
    if (as_read && !StillAsRead(path, *as_read)) return Fail(static_cast<int>(kChangedMeanwhile));
    return WriteInPlace(path, bytes);   // the folder takes no new file
  }

  const auto discard = [&temp](int e) {
    ::unlink(temp.c_str());
    return Fail(e);
  };
  if (!WriteAll(fd.get(), bytes, 0)) return discard(errno);
  if (exists) {
    // The replacement takes the original's permissions and, where allowed, owner.
    if (::fchmod(fd.get(), mode) != 0) return discard(errno);
    if (::fchown(fd.get(), st.st_uid, st.st_gid) != 0) {
      // Only a privileged writer may give the file away; the content counts.
    }
  }
  if (::fsync(fd.get()) != 0) return discard(errno);
  if (!fd.reset()) return discard(errno);
  if (as_read && !StillAsRead(path, *as_read)) return discard(static_cast<int>(kChangedMeanwhile));
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    ::unlink(temp.c_str());
    return WriteInPlace(path, bytes);
  }
  SyncFolder(folder);
  return {};
}
}  // namespace

Status ReplaceFile(const std::string& path, const std::string& bytes) { return Replace(path, bytes, nullptr); }

Status ReplaceFileAsRead(const std::string& path, const std::string& bytes, const std::optional<FileStamp>& as_read) {
  return Replace(path, bytes, &as_read);
}

bool BeingWritten(const std::string& path) {
  // A read lease is refused (EAGAIN) while any descriptor has the file open
  // for writing; taken, it is given back at once.
  UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
  if (!fd) return false;
  if (::fcntl(fd.get(), F_SETLEASE, F_RDLCK) != 0) return errno == EAGAIN;
  ::fcntl(fd.get(), F_SETLEASE, F_UNLCK);
  return false;
}

std::uint64_t TickMs() {
  timespec now {};
  ::clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<std::uint64_t>(now.tv_sec) * 1000u + static_cast<std::uint64_t>(now.tv_nsec) / 1000000u;
}

void Pause(unsigned ms) {
  timespec wait {static_cast<time_t>(ms / 1000), static_cast<long>(ms % 1000) * 1000000L};
  while (::nanosleep(&wait, &wait) != 0 && errno == EINTR) {
  }
}

std::uint32_t MachineTag() {
  char name[256] = {};
  ::gethostname(name, sizeof name - 1);
  // FNV-1a.
  std::uint32_t hash = 2166136261u;
  for (const char* c = name; *c; ++c) hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
  return hash;
}

unsigned long ProcessId() { return static_cast<unsigned long>(::getpid()); }

bool ProcessRuns(unsigned long process, std::uint64_t) {
  return process != 0 && (::kill(static_cast<pid_t>(process), 0) == 0 || errno == EPERM);
}

Status RenameFile(const std::string& from, const std::string& to) {
  // link refuses an existing name, so nothing is ever replaced.
  if (::link(from.c_str(), to.c_str()) != 0) return Fail(errno);
  if (::unlink(from.c_str()) != 0) return Fail(errno);
  SyncFolder(FolderOf(to));
  return {};
}

Status DeleteFile(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0) return IsNotFound(static_cast<std::uint32_t>(errno)) ? Status{} : Fail(errno);
  if (S_ISDIR(st.st_mode)) return Fail(EISDIR);
  if (S_ISREG(st.st_mode) && ReadOnlyMode(st.st_mode)) return Fail(EACCES);
  if (::unlink(path.c_str()) != 0 && errno != ENOENT) return Fail(errno);
  return {};
}

bool SameFileName(std::string_view a, std::string_view b) { return a == b; }

Status MatchNameSpelling(const std::string&, const std::string&) { return {}; }

std::string ExeFolder() {
  std::string buffer(256, '\0');
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return std::string();
    if (static_cast<std::size_t>(n) < buffer.size()) {
      buffer.resize(static_cast<std::size_t>(n));
      return FolderOf(buffer);
    }
    buffer.resize(buffer.size() * 2);
  }
}

char Separator() { return '/'; }

// No Recycle Bin the program could rely on here: deleted.
Status RecycleFile(const std::string& path) { return DeleteFile(path); }

Status MoveToRecycleBin(const std::string&) { return Fail(ENOTSUP); }

// No drive letters here: a path is stored as given.
bool IsRemovableDrive(const std::string&) { return false; }

// Only the Windows build runs the window that asks.
bool IsRemoteFolder(const std::string& folder) {
  return folder.rfind("//", 0) == 0 || folder.rfind("\\\\", 0) == 0;
}

struct FolderWatch::Impl {
  UniqueFd notify{-1};
  UniqueFd wake{-1};
};

FolderWatch::FolderWatch(const std::string& folder) : impl_(new Impl) {
  impl_->notify.adopt(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  impl_->wake.adopt(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
  constexpr std::uint32_t kEvents = IN_CREATE | IN_DELETE | IN_MODIFY | IN_CLOSE_WRITE | IN_MOVED_FROM |
                                    IN_MOVED_TO | IN_ATTRIB | IN_DELETE_SELF | IN_MOVE_SELF;
  if (impl_->notify &&
      ::inotify_add_watch(impl_->notify.get(), folder.empty() ? "." : folder.c_str(), kEvents | IN_ONLYDIR) < 0)
    impl_->notify.reset();
}

FolderWatch::~FolderWatch() { delete impl_; }

bool FolderWatch::Opened() const { return impl_->notify && impl_->wake; }

FolderWatch::Event FolderWatch::Wait(unsigned timeout_ms) {
  if (!Opened()) return Event::Failed;
  pollfd fds[2] = {{impl_->notify.get(), POLLIN, 0}, {impl_->wake.get(), POLLIN, 0}};
  const int timeout = timeout_ms == kForever ? -1 : static_cast<int>(std::min(timeout_ms, 0x7FFFFFFFu));
  int n = 0;
  do n = ::poll(fds, 2, timeout);
  while (n < 0 && errno == EINTR);
  if (n < 0) return Event::Failed;
  if (fds[1].revents & POLLIN) {
    std::uint64_t count = 0;
    if (::read(impl_->wake.get(), &count, sizeof count) < 0) {
      // Another reader took it: woken all the same.
    }
    return Event::Woken;
  }
  if (fds[0].revents & POLLIN) {
    // Every event queued so far is answered by this one Changed.
    alignas(inotify_event) char buffer[4096];
    while (::read(impl_->notify.get(), buffer, sizeof buffer) > 0) {
    }
    return Event::Changed;
  }
  if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) return Event::Failed;
  return Event::Timeout;
}

void FolderWatch::Wake() {
  const std::uint64_t one = 1;
  if (impl_->wake && ::write(impl_->wake.get(), &one, sizeof one) < 0) {
    // The counter is full: a wake is pending anyway.
  }
}

}  // namespace korvane::os
