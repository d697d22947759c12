// SPDX-License-Identifier: MIT
// The channel to a file descriptor: the one sink that makes system calls, apart from the
// interface so that a build without them links with sinks of its own.
#pragma once

#include <cerrno>
#include <string_view>
#include <system_error>

#include "system/sinks.h"

namespace tarvik {

// The error of the last failed system call. Some C libraries fail a call without setting errno;
// that reads as EIO rather than "Success".
inline std::error_code ErrnoError() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

// Writes to a file descriptor without buffering of its own (the channel in front of it buffers).
// A descriptor left non-blocking by another program is waited on rather than given up. Closes the
// descriptor at the end if it owns it.
class FdSink : public Sink {
 public:
  FdSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdSink() override;
  FdSink(const FdSink&) = delete;
  FdSink& operator=(const FdSink&) = delete;

  std::error_code Write(std::string_view bytes) override;
  std::error_code Close() override;

 protected:
  int fd() const { return fd_; }

 private:
  int fd_;
  bool owned_;
};

}  // namespace tarvik
