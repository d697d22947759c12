// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string_view>

#include "system/fd_sink.h"
#include "system/files.h"

namespace tarvik {
namespace {

std::optional<FileId> FileIdOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

// Written once by CancelReads, never read: a read end that turns readable when reads are to end.
int cancelPipe[2] = {-1, -1};
std::once_flag cancelPipeMade;

int CancelFd() {
  std::call_once(cancelPipeMade, [] {
    if (::pipe2(cancelPipe, O_CLOEXEC) != 0) cancelPipe[0] = cancelPipe[1] = -1;
  });
  return cancelPipe[0];
}

class FdSource final : public Source {
 public:
  FdSource(int fd, bool owned) : fd_(fd), owned_(owned) {
    struct stat info {};
    // A regular file never makes a read wait; a pipe, a terminal or a socket may.
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) cancelFd_ = CancelFd();
  }
  ~FdSource() override {
    if (owned_) ::close(fd_);
  }
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    for (;;) {
      if (cancelFd_ >= 0) {
        pollfd fds[2] = {{fd_, POLLIN, 0}, {cancelFd_, POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
          if (errno == EINTR) continue;
        } else if (fds[1].revents != 0) {
          error = std::make_error_code(std::errc::operation_canceled);
          return 0;
        }
      }
      errno = 0;
      const ssize_t n = ::read(fd_, buffer, size);
      if (n >= 0) return static_cast<std::size_t>(n);
      if (errno == EINTR) continue;
      error = ErrnoError();
      return 0;
    }
  }

 private:
  int fd_;
  bool owned_;
  int cancelFd_ = -1;
};

// The temporary files of replacements not yet committed, so that a run ending at once can remove
// them. Nothing is allocated while the lock is held.
std::mutex pendingMutex;
class DiskReplacement;
DiskReplacement* pending = nullptr;

class DiskReplacement final : public ReplacementFile {
 public:
  // `temporary` is a mkostemp template in the folder of `name`.
  DiskReplacement(std::string name, std::string temporary)
      : name_(std::move(name)), temporary_(std::move(temporary)) {}
  ~DiskReplacement() override {
    const std::lock_guard lock(pendingMutex);
    if (fd_ >= 0) ::close(fd_);
    if (created_) ::unlink(temporary_.c_str());
    Unlist();
  }
  DiskReplacement(const DiskReplacement&) = delete;
  DiskReplacement& operator=(const DiskReplacement&) = delete;

  std::error_code Create() {
    const std::lock_guard lock(pendingMutex);
    errno = 0;
    // Created exclusively: never through a link, never over an existing file.
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) return ErrnoError();
    // As a file created by open(2) with mode 0666 would be: mkostemp gives 0600.
    static const mode_t mask = [] {
      const mode_t m = ::umask(0);
      ::umask(m);
      return m;
    }();
    ::fchmod(fd_, 0666 & ~mask);
    created_ = true;
    next_ = pending;
    if (next_) next_->previous_ = this;
    pending = this;
    return {};
  }

  std::error_code Write(std::string_view bytes) override {
    while (!bytes.empty()) {
      const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
      if (n < 0) {
        if (errno == EINTR) continue;
        return ErrnoError();
      }
      bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return {};
  }

  std::error_code Commit() override {
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return ErrnoError();
    const std::lock_guard lock(pendingMutex);
    if (::rename(temporary_.c_str(), name_.c_str()) != 0) return ErrnoError();
    created_ = false;
    Unlist();
    return {};
  }

  static void RemoveAll() {
    const std::lock_guard lock(pendingMutex);
    RemoveListed();
  }

  // Removes the temporary files and ends the process by `signal`, the lock held so that no other
  // thread makes a new one meanwhile.
  [[noreturn]] static void RemoveAllAndDie(int signal) {
    pendingMutex.lock();
    RemoveListed();
    // Its default action restored and the signal unblocked, raising it ends the process by it;
    // should any of that fail, the exit status still names the signal.
    if (::signal(signal, SIG_DFL) != SIG_ERR) {
      sigset_t set;
      sigemptyset(&set);
      sigaddset(&set, signal);
      pthread_sigmask(SIG_UNBLOCK, &set, nullptr);
      if (::raise(signal) != 0) _exit(128 + signal);
    }
    _exit(128 + signal);
  }

 private:
  void Unlist() {
    if (!created_ && pending != this && !previous_ && !next_) return;
    if (previous_) previous_->next_ = next_;
    if (next_) next_->previous_ = previous_;
    if (pending == this) pending = next_;
    previous_ = next_ = nullptr;
  }

  static void RemoveListed() {
    for (DiskReplacement* file = pending; file; file = file->next_) {
      ::unlink(file->temporary_.c_str());
    }
  }

  std::string name_;
  std::string temporary_;
  int fd_ = -1;
  bool created_ = false;
  DiskReplacement* previous_ = nullptr;
  DiskReplacement* next_ = nullptr;
};

class DiskOutputFile final : public OutputFile {
 public:
  explicit DiskOutputFile(int fd) : sink_(fd, /*owned=*/true), fd_(fd) {}

  std::error_code Write(std::string_view bytes) override { return sink_.Write(bytes); }
  std::error_code Close() override { return sink_.Close(); }
  std::optional<FileId> Id() const override { return FileIdOf(fd_); }

  Lock TryLock(std::error_code& error) override {
    while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
      if (errno == EINTR) continue;
      if (errno == EWOULDBLOCK) return Lock::kBusy;
      if (errno == ENOLCK || errno == EOPNOTSUPP || errno == ENOSYS) return Lock::kUnsupported;
      error = ErrnoError();
      return Lock::kUnsupported;
    }
    return Lock::kTaken;
  }
  std::error_code WaitLock() override {
    while (::flock(fd_, LOCK_EX) != 0) {
      if (errno != EINTR) return ErrnoError();
    }
    return {};
  }
  std::error_code Truncate() override {
    // Only a regular file has contents to drop (a device or a FIFO is written as it is).
    if (!FileIdOf(fd_)) return {};
    return ::ftruncate(fd_, 0) == 0 ? std::error_code{} : ErrnoError();
  }

 private:
  FdSink sink_;
  int fd_;
};

}  // namespace

OpenedInput DiskFiles::OpenInput(const std::string& name, std::error_code& error) {
  errno = 0;
  const int fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    error = ErrnoError();
    return {};
  }
  // A folder opens, but reading it fails: say so now, as for a missing file.
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
    ::close(fd);
    error = std::make_error_code(std::errc::is_a_directory);
    return {};
  }
  std::optional<std::uint64_t> size;
  if (S_ISREG(info.st_mode)) size = static_cast<std::uint64_t>(info.st_size);
  return {std::make_unique<FdSource>(fd, /*owned=*/true), FileIdOf(fd), size};
}

OpenedInput DiskFiles::StandardInput() {
  struct stat info {};
  std::optional<std::uint64_t> size;
  if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
    size = static_cast<std::uint64_t>(info.st_size);
  }
  return {std::make_unique<FdSource>(STDIN_FILENO, /*owned=*/false), FileIdOf(STDIN_FILENO), size};
}

std::unique_ptr<OutputFile> DiskFiles::OpenOutput(const std::string& name, std::error_code& error) {
  errno = 0;
  const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0) {
    error = ErrnoError();
    return nullptr;
  }
  return std::make_unique<DiskOutputFile>(fd);
}

std::unique_ptr<ReplacementFile> DiskFiles::CreateReplacement(const std::string& name,
                                                              std::error_code& error) {
  // ".NAME.XXXXXX" beside NAME: hidden, and ending neither in .txt nor in .html. NAME is cut to
  // its first 247 bytes, so that the temporary name is no longer than a name may be.
  constexpr std::size_t kNameBytes = 255 - std::string_view("..XXXXXX").size();
  const std::size_t slash = name.rfind('/');
  const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
  std::string temporary = name.substr(0, base) + "." + name.substr(base, kNameBytes) + ".XXXXXX";
  auto file = std::make_unique<DiskReplacement>(name, std::move(temporary));
  if ((error = file->Create())) return nullptr;
  return file;
}

std::optional<FileId> DiskFiles::IdOf(const std::string& name) const {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<std::uint64_t> DiskFiles::SizeOf(const std::string& name) const {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}

namespace {

Entry::Kind KindOf(mode_t mode) {
  if (S_ISREG(mode)) return Entry::Kind::kRegular;
  if (S_ISLNK(mode)) return Entry::Kind::kLink;
  if (S_ISCHR(mode) || S_ISBLK(mode)) return Entry::Kind::kDevice;
  if (S_ISFIFO(mode)) return Entry::Kind::kFifo;
  return Entry::Kind::kOther;
}

bool Trusted(uid_t owner) { return owner == 0 || owner == ::geteuid(); }

// Whether the folder of `name`, its links followed, is /dev or /proc or lies under one of them.
bool InSystemFolder(const std::string& name) {
  const std::size_t slash = name.rfind('/');
  const std::string folder = slash == std::string::npos ? "."
                             : slash == 0               ? "/"
                                                        : name.substr(0, slash);
  char* resolved = ::realpath(folder.c_str(), nullptr);
  if (resolved == nullptr) return false;
  const std::string_view path(resolved);
  bool system = false;
  for (const std::string_view top : {"/dev", "/proc"}) {
    system =
        system || (path.starts_with(top) && (path.size() == top.size() || path[top.size()] == '/'));
  }
  std::free(resolved);
  return system;
}

}  // namespace

Entry DiskFiles::EntryAt(const std::string& name) const {
  Entry entry;
  entry.system = InSystemFolder(name);
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0) return entry;
  entry.kind = KindOf(info.st_mode);
  entry.trusted = Trusted(info.st_uid);
  if (entry.kind == Entry::Kind::kLink && ::stat(name.c_str(), &info) == 0) {
    entry.target = KindOf(info.st_mode);
    entry.targetTrusted = Trusted(info.st_uid);
  }
  return entry;
}

std::unique_ptr<OutputFile> DiskFiles::OpenInPlace(const std::string& name, bool follow,
                                                   std::error_code& error) {
  errno = 0;
  const int fd =
      ::open(name.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC | (follow ? 0 : O_NOFOLLOW));
  if (fd < 0) {
    error = ErrnoError();
    return nullptr;
  }
  // Non-blocking only to open a FIFO without waiting: its writes wait for room, as any file's.
  const int flags = ::fcntl(fd, F_GETFL);
  if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
    error = ErrnoError();
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<DiskOutputFile>(fd);
}

std::optional<FileId> DiskFiles::FolderIdOf(const std::string& name) const {
  struct stat info {};
  if (::stat(name.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::optional<FileId> DiskFiles::EntryIdOf(const std::string& name) const {
  struct stat info {};
  if (::lstat(name.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

std::error_code DiskFiles::MakeDirectory(const std::string& name) {
  if (::mkdir(name.c_str(), 0777) == 0) return {};
  const std::error_code error = ErrnoError();
  if (errno != EEXIST) return error;
  struct stat info {};
  if (::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
  return std::make_error_code(std::errc::not_a_directory);
}

std::error_code DiskFiles::ChangeDirectory(const std::string& name) {
  return ::chdir(name.c_str()) == 0 ? std::error_code{} : ErrnoError();
}

std::optional<FileId> DiskFiles::ConsoleId() { return FileIdOf(STDOUT_FILENO); }

void DiskFiles::CancelReads() {
  const int fd = (CancelFd(), cancelPipe[1]);
  if (fd >= 0) (void)!::write(fd, "x", 1);
}

void DiskFiles::RemovePendingReplacements() { DiskReplacement::RemoveAll(); }

namespace {

sigset_t watchedSignals;

void* WatchSignals(void*) {
  int signal = 0;
  while (sigwait(&watchedSignals, &signal) != 0) {
  }
  DiskReplacement::RemoveAllAndDie(signal);
}

}  // namespace

void DiskFiles::RemoveReplacementsOnSignals() {
  sigemptyset(&watchedSignals);
  // A signal ignored by the parent (SIGINT for a job started with &, SIGHUP under nohup) stays so.
  for (const int signal : {SIGHUP, SIGINT, SIGTERM}) {
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler != SIG_IGN) {
      sigaddset(&watchedSignals, signal);
    }
  }
  // Blocked in this thread and so in every thread it starts; only the watcher takes them.
  sigset_t before;
  if (pthread_sigmask(SIG_BLOCK, &watchedSignals, &before) != 0) return;
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setdetachstate(&attributes, PTHREAD_CREATE_DETACHED);
  pthread_attr_setstacksize(&attributes, static_cast<std::size_t>(PTHREAD_STACK_MIN) + 65536);
  pthread_t watcher;
  if (pthread_create(&watcher, &attributes, WatchSignals, nullptr) != 0) {
    pthread_sigmask(SIG_SETMASK, &before, nullptr);  // the signals then end the run as before
  }
  pthread_attr_destroy(&attributes);
}

}  // namespace tarvik
