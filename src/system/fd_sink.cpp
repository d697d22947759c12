// SPDX-License-Identifier: MIT
#include "system/fd_sink.h"

#include <poll.h>
#include <unistd.h>

namespace tarvik {

FdSink::~FdSink() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

std::error_code FdSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    errno = 0;
    const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n > 0) {
      bytes.remove_prefix(static_cast<std::size_t>(n));
      continue;
    }
    if (n == 0) return std::make_error_code(std::errc::io_error);
    if (errno == EINTR) continue;
    if (errno == EAGAIN || errno == EWOULDBLOCK) {
      // Non-blocking, and the reader is slow: wait until there is room.
      pollfd ready{fd_, POLLOUT, 0};
      if (::poll(&ready, 1, -1) >= 0 || errno == EINTR) continue;
    }
    return ErrnoError();
  }
  return {};
}

std::error_code FdSink::Close() {
  if (!owned_ || fd_ < 0) return {};
  errno = 0;
  const int result = ::close(fd_);
  fd_ = -1;
  return result == 0 ? std::error_code{} : ErrnoError();
}

}  // namespace tarvik
