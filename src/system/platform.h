// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace tarvik {

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed, so that no file
// the run opens can take the place of the console. Returns true if standard output was closed.
bool ReopenClosedStandardDescriptors();

// A write to a pipe whose reader has gone, or past the file-size limit, then fails with an error
// (EPIPE, EFBIG) instead of killing the process, so the other report channel is still written in
// full. Returns false if a signal could not be set to be ignored.
bool IgnoreWriteSignals();

// Whether standard error is a terminal (a progress line is shown there only then).
bool ErrorsIsTerminal();
// Whether standard output is a terminal (then the rows are the progress).
bool ConsoleIsTerminal();
// Whether the terminal understands no escape sequences: TERM unset, empty or "dumb".
bool PlainTerminal();

// The processors this process may run on, as nproc counts them; at least 1.
unsigned AvailableProcessors();

// Raises the limit of open files to its hard limit, and returns the limit now in force.
std::uint64_t RaiseOpenFileLimit();

}  // namespace tarvik
