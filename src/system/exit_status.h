// SPDX-License-Identifier: MIT
#pragma once

namespace tarvik {

// How a run ends, as the process's exit status (the values follow sysexits.h).
enum class ExitStatus : int {
  kSuccess = 0,      // a report was written in full, whatever the puzzle's outcome
  kUsage = 64,       // the command line is wrong
  kDataError = 65,   // Sudin.txt holds something other than a valid puzzle definition
  kNoInput = 66,     // Sudin.txt is missing or cannot be read
  kSoftware = 70,    // an internal check failed: a fault of the program's own
  kOsError = 71,     // out of memory
  kCantCreate = 73,  // Sudout.txt cannot be created
  kIoError = 74,     // a write to standard output or Sudout.txt failed
};

}  // namespace tarvik
