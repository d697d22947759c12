// SPDX-License-Identifier: MIT
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include "control/files.h"

namespace tarvik {
namespace {

std::optional<FileId> IdOf(int fd) {
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return FileId{static_cast<std::uint64_t>(info.st_dev), static_cast<std::uint64_t>(info.st_ino)};
}

class FdSource final : public Source {
 public:
  FdSource(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdSource() override {
    if (owned_) ::close(fd_);
  }
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    for (;;) {
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
};

class DiskOutputFile final : public OutputFile {
 public:
  explicit DiskOutputFile(int fd) : sink_(fd, /*owned=*/true), fd_(fd) {}

  std::error_code Write(std::string_view bytes) override { return sink_.Write(bytes); }
  std::error_code Close() override { return sink_.Close(); }
  std::optional<FileId> Id() const override { return IdOf(fd_); }

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
    if (!IdOf(fd_)) return {};
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
  return {std::make_unique<FdSource>(fd, /*owned=*/true), IdOf(fd), size};
}

OpenedInput DiskFiles::StandardInput() {
  struct stat info {};
  std::optional<std::uint64_t> size;
  if (::fstat(STDIN_FILENO, &info) == 0 && S_ISREG(info.st_mode)) {
    size = static_cast<std::uint64_t>(info.st_size);
  }
  return {std::make_unique<FdSource>(STDIN_FILENO, /*owned=*/false), IdOf(STDIN_FILENO), size};
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

std::error_code DiskFiles::MakeDirectory(const std::string& name) {
  if (::mkdir(name.c_str(), 0777) == 0) return {};
  const std::error_code error = ErrnoError();
  struct stat info {};
  if (errno == EEXIST && ::stat(name.c_str(), &info) == 0 && S_ISDIR(info.st_mode)) return {};
  return error;
}

std::error_code DiskFiles::ChangeDirectory(const std::string& name) {
  return ::chdir(name.c_str()) == 0 ? std::error_code{} : ErrnoError();
}

std::optional<FileId> DiskFiles::ConsoleId() { return IdOf(STDOUT_FILENO); }

}  // namespace tarvik
