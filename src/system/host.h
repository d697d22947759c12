// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <iosfwd>

#include "system/files.h"
#include "system/sinks.h"

namespace tarvik {

// What a run gets from the process around it: its files, standard output, standard error, and
// the facts about the machine that the batch mode needs.
struct Host {
  Files& files;
  Sink& console;
  std::ostream& errors;
  bool errorsIsTerminal = false;
  bool consoleIsTerminal = false;
  bool plainTerminal = false;  // TERM unset or "dumb": no escape sequences
  unsigned processors = 1;
  std::uint64_t openFiles = 1024;  // the files the process may have open at once
};

}  // namespace tarvik
