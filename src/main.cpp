// tarvik: solves the Sudoku puzzle in Sudin.txt and reports how, on standard output and in
// Sudout.txt. Everything but the process's own set-up lives in the library.
#include <cerrno>
#include <cstdio>
#include <iostream>
#include <string_view>
#include <system_error>

#include "control/platform.h"
#include "control/run.h"
#include "report/sinks.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: tarvik\n"
    "Works the Sudoku puzzle defined in Sudin.txt in the working directory and writes a report\n"
    "of how it went to standard output and to Sudout.txt.\n"
    "\n"
    "Sudin.txt holds nine grid rows (0 for an empty cell), a line with the print level,\n"
    "the look-back distance and the number of steps (5 to 100), then the search sequence:\n"
    "one technique code per step, 1 rows, 2 columns, 3 boxes, 4 single values.\n"
    "\n"
    "Print levels: 0 start and final grid and the outcome; 1 adds the guesses;\n"
    "2 adds every step and every attempt; 3 adds a grid after every step and,\n"
    "in Sudout.txt only, the search sequence.\n"
    "\n"
    "Exit status: 0 report written; 65 bad Sudin.txt; 66 Sudin.txt unreadable;\n"
    "73 Sudout.txt cannot be created; 74 a write failed; 64 bad arguments.\n"
    "\n"
    "Options: --help prints this text, --version the version. See tarvik(1).\n";

}  // namespace

int main(int argc, char* argv[]) {
  const bool consoleClosed = tarvik::ReopenClosedStandardDescriptors();
  tarvik::IgnoreBrokenPipes();

  if (argc > 1) {
    const std::string_view arg = argv[1];
    if (argc == 2 && (arg == "--help" || arg == "--version")) {
      if (arg == "--help") {
        std::cout << kUsage;
      } else {
        std::cout << "tarvik " << TARVIK_VERSION << '\n';
      }
      std::cout.flush();
      if (std::cout) return static_cast<int>(tarvik::ExitStatus::kSuccess);
      std::cerr << "tarvik: write error on standard output\n";
      return static_cast<int>(tarvik::ExitStatus::kIoError);
    }
    if (argc == 2) {
      std::cerr << "tarvik: found argument '" << arg << "', expected none, --help or --version\n";
    } else {
      std::cerr << "tarvik: found " << argc - 1 << " arguments, expected none, --help or --version\n";
    }
    return static_cast<int>(tarvik::ExitStatus::kUsage);
  }

  tarvik::DiskFiles files;
  tarvik::StdioSink standardOutput(stdout, /*owned=*/false);
  tarvik::FailingSink closedOutput(std::make_error_code(std::errc::bad_file_descriptor));
  tarvik::Sink& console = consoleClosed ? static_cast<tarvik::Sink&>(closedOutput)
                                        : static_cast<tarvik::Sink&>(standardOutput);
  return static_cast<int>(tarvik::Run(files, console, std::cerr));
}
