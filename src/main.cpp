// tarvik: solves the Sudoku puzzle in Sudin.txt and reports how, on standard output and in
// Sudout.txt. Everything but the process's own set-up lives in the library.
#include <unistd.h>

#include <iostream>
#include <new>
#include <string_view>
#include <system_error>
#include <vector>

#include "cli/entry.h"
#include "control/files.h"
#include "control/host.h"
#include "control/platform.h"
#include "report/sinks.h"

int main(int argc, char* argv[]) {
  const bool consoleClosed = tarvik::ReopenClosedStandardDescriptors();
  if (!tarvik::IgnoreWriteSignals()) {
    std::cerr << "tarvik: cannot ignore SIGPIPE and SIGXFSZ: a failing write may end the run\n";
  }

  std::vector<std::string_view> args;
  try {
    args.assign(argv + 1, argv + argc);
  } catch (const std::bad_alloc&) {
    std::cerr << "tarvik: out of memory\n";
    return static_cast<int>(tarvik::ExitStatus::kOsError);
  }
  tarvik::DiskFiles files;
  tarvik::FdSink standardOutput(STDOUT_FILENO, /*owned=*/false);
  tarvik::FailingSink closedOutput(std::make_error_code(std::errc::bad_file_descriptor));
  tarvik::Host host{files,
                    consoleClosed ? static_cast<tarvik::Sink&>(closedOutput) : standardOutput,
                    std::cerr, tarvik::ErrorsIsTerminal(), tarvik::AvailableProcessors()};
  return static_cast<int>(tarvik::cli::Main(args, host));
}
