#pragma once

namespace tarvik {

// Opens /dev/null on each of the standard descriptors 0, 1 and 2 that is closed, so that no file
// the run opens can take the place of the console. Returns true if standard output was closed.
bool ReopenClosedStandardDescriptors();

// A write to a pipe whose reader has gone then fails with EPIPE instead of killing the process,
// so the other report channel is still written in full.
void IgnoreBrokenPipes();

}  // namespace tarvik
