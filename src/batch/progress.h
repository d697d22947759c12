// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <ostream>

#include "control/run.h"

namespace tarvik::batch {

// What the rows written so far hold, for the summary line.
struct Tally {
  std::uint64_t puzzles = 0;
  std::uint64_t refused = 0;
  std::uint64_t outcomes[4] = {};
};

// The progress line on a terminal's standard error, redrawn in place at most four times a second,
// and the summary line at the end.
class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  Progress(std::ostream& errors, bool shown) : errors_(errors), shown_(shown) {}

  // Redraws the line for `rows` rows written and, when the input's size is known, the share of it
  // read.
  void Update(std::uint64_t rows, std::uint64_t bytesRead, std::uint64_t inputSize);
  // Clears the line, if drawn, so that a message can take its place.
  void Erase();
  // The summary: puzzles, refused lines, time taken and the count of each outcome.
  void Summarize(const Tally& tally);

 private:
  std::ostream& errors_;
  const bool shown_;
  bool drawn_ = false;
  Clock::time_point started_ = Clock::now();
  Clock::time_point lastDrawn_ = started_;
};

}  // namespace tarvik::batch
