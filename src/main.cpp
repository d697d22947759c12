// SPDX-License-Identifier: MIT
// tarvik: solves the Sudoku puzzle in Sudin.txt and reports how, on standard output and in
// Sudout.txt. Everything but the process's own set-up lives in the library.
#include <unistd.h>

#include <iostream>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/entry.h"
#include "system/diagnostics.h"
#include "system/fd_sink.h"
#include "system/files.h"
#include "system/host.h"
#include "system/platform.h"

namespace {

// An allocation that fails ends the run at once with its own status, wherever it happens: before a
// bad_alloc could be thrown and caught, the runtime may itself lack the memory to throw it. Every
// run allocates what it needs before it touches Sudout.txt, so this never leaves a file cut short.
[[noreturn]] void OutOfMemory() {
  tarvik::DiskFiles::RemovePendingReplacements();
  (void)!write(STDERR_FILENO, tarvik::kOutOfMemory.data(), tarvik::kOutOfMemory.size());
  _exit(static_cast<int>(tarvik::ExitStatus::kOsError));
}

}  // namespace

int main(int argc, char* argv[]) {
  std::set_new_handler(OutOfMemory);
  const bool consoleClosed = tarvik::ReopenClosedStandardDescriptors();
  if (!tarvik::IgnoreWriteSignals()) {
    tarvik::Say(std::cerr, "cannot ignore SIGPIPE and SIGXFSZ: a failing write may end the run");
  }

  const std::vector<std::string_view> args(argv + 1, argv + argc);
  tarvik::DiskFiles files;
  tarvik::FdSink standardOutput(STDOUT_FILENO, /*owned=*/false);
  tarvik::FailingSink closedOutput(std::make_error_code(std::errc::bad_file_descriptor));
  tarvik::Host host{files,
                    consoleClosed ? static_cast<tarvik::Sink&>(closedOutput) : standardOutput,
                    std::cerr,
                    tarvik::ErrorsIsTerminal(),
                    tarvik::ConsoleIsTerminal(),
                    tarvik::PlainTerminal(),
                    tarvik::AvailableProcessors(),
                    tarvik::RaiseOpenFileLimit()};
  return static_cast<int>(tarvik::cli::Main(args, host));
}
