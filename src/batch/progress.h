// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <vector>

#include "control/outcome_counts.h"

namespace tarvik::batch {

// The progress line on a terminal's standard error, redrawn in place at most four times a second,
// and the summary line at the end.
class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  // `shown`: a progress line is drawn at all; `plain`: without escape sequences.
  Progress(std::ostream& errors, bool shown, bool plain, bool solutions, bool answers)
      : errors_(errors), shown_(shown), plain_(plain), solutions_(solutions), answers_(answers) {}

  // Redraws the line for `rows` rows written and, when the inputs' size is known, the share of it
  // done: `bytesRead` up to the end of the last line whose row is out.
  void Update(std::uint64_t rows, std::uint64_t bytesRead, std::uint64_t inputSize);
  // Clears the line, if drawn, so that a message can take its place.
  void Erase();
  // The summary: with more than one FILE a line for each, then puzzles, refused lines, time taken
  // and the count of each outcome, from the counts of all FILEs together.
  void Summarize(const LineCounts& totals, const std::vector<FileTally>& files);
  // The line of a sweep before the totals: the `sets` worked and the best of them, `best` ("set K:
  // LOOKBACK/STEPS/SEQUENCE") with its `counts` and total `steps`.
  void SummarizeSweep(std::size_t sets, std::string_view best, const LineCounts& counts,
                      std::int64_t steps);

 private:
  std::ostream& errors_;
  const bool shown_;
  const bool plain_;
  const bool solutions_;   // the counts of solutions are summed up too
  const bool answers_;     // and the answer checks
  std::size_t drawn_ = 0;  // the length of the line drawn; 0 for none
  Clock::time_point started_ = Clock::now();
  Clock::time_point lastDrawn_ = started_;
};

}  // namespace tarvik::batch
