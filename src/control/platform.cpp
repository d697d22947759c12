#include "control/platform.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tarvik {

bool ReopenClosedStandardDescriptors() {
  bool outputClosed = false;
  for (int fd = 0; fd <= 2; ++fd) {
    if (fcntl(fd, F_GETFD) != -1 || errno != EBADF) continue;
    if (fd == 1) outputClosed = true;
    // The lowest free descriptor is taken, which is this one: the lower ones are open by now.
    open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
  }
  return outputClosed;
}

void IgnoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

}  // namespace tarvik
