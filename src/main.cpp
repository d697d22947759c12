// SPDX-License-Identifier: MIT
// tarvik: solves the Sudoku puzzle in Sudin.txt and reports how, on standard output and in
// Sudout.txt. Everything but the process's own set-up lives in the library.
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <exception>
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

// Memory held from the start and given back when an allocation first fails, so that what follows
// the failure has room: the batch stops at the failing line, writes the rows before it and the
// message, and temporary files are removed. Every later failure throws as well.
constexpr std::size_t kReserveBytes = std::size_t{256} << 10;
std::atomic<void*> reserve{nullptr};

void OutOfMemory() {
  std::free(reserve.exchange(nullptr));
  throw std::bad_alloc();
}

// The message and the status, with no memory needed.
[[noreturn]] void ExitOutOfMemory() {
  (void)!write(STDERR_FILENO, tarvik::kOutOfMemory.data(), tarvik::kOutOfMemory.size());
  _exit(static_cast<int>(tarvik::ExitStatus::kOsError));
}

// The last resort, where a failing allocation reaches no handler (a thread of its own, a
// destructor): one message and the status of running out of memory, never an abort.
[[noreturn]] void Terminated() {
  try {
    if (const std::exception_ptr failure = std::current_exception()) {
      std::rethrow_exception(failure);
    }
  } catch (const std::bad_alloc&) {
    tarvik::DiskFiles::RemovePendingReplacements();
    ExitOutOfMemory();
  } catch (...) {
  }
  std::abort();
}

}  // namespace

int main(int argc, char* argv[]) {
  // Without the room to throw, a run would abort: it stops here (malloc, since even a nothrow new
  // may need memory to fail).
  reserve = std::malloc(kReserveBytes);
  if (reserve == nullptr) ExitOutOfMemory();
  std::set_new_handler(OutOfMemory);
  std::set_terminate(Terminated);
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
