// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "control/run.h"

namespace tarvik::batch {

// What the rows written so far hold, for the summary line.
struct Tally {
  std::uint64_t puzzles = 0;
  std::uint64_t refused = 0;
  std::uint64_t outcomes[4] = {};
  std::uint64_t solutions[3] = {};  // puzzles with none, one, two or more, when counted

  // Counts a row: a puzzle with its `outcome` (and its solutions, when counted), or else a refused
  // line.
  void Count(std::optional<Outcome> outcome, std::optional<int> solutionsCounted);
};

// One FILE's part, for its line before the summary.
struct FileTally {
  std::string name;  // as messages show it
  std::int64_t lines = 0;
  Tally rows;
  std::optional<std::string> notRead;  // why the FILE gave no row at all
};

// The progress line on a terminal's standard error, redrawn in place at most four times a second,
// and the summary line at the end.
class Progress {
 public:
  using Clock = std::chrono::steady_clock;

  // `shown`: a progress line is drawn at all; `plain`: without escape sequences.
  Progress(std::ostream& errors, bool shown, bool plain, bool solutions)
      : errors_(errors), shown_(shown), plain_(plain), solutions_(solutions) {}

  // Redraws the line for `rows` rows written and, when the inputs' size is known, the share of it
  // read.
  void Update(std::uint64_t rows, std::uint64_t bytesRead, std::uint64_t inputSize);
  // Clears the line, if drawn, so that a message can take its place.
  void Erase();
  // The summary: with more than one FILE a line for each, then puzzles, refused lines, time taken
  // and the count of each outcome.
  void Summarize(const Tally& tally, const std::vector<FileTally>& files);

 private:
  std::ostream& errors_;
  const bool shown_;
  const bool plain_;
  const bool solutions_;   // the counts of solutions are summed up too
  std::size_t drawn_ = 0;  // the length of the line drawn; 0 for none
  Clock::time_point started_ = Clock::now();
  Clock::time_point lastDrawn_ = started_;
};

}  // namespace tarvik::batch
