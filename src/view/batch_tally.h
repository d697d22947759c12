// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "control/outcome_counts.h"
#include "control/run_parameters.h"
#include "control/run_summary.h"

namespace tarvik::view {

// Where a row of the batch comes from.
struct RowPlace {
  std::size_t operand = 0;  // the operand's index, from 0
  std::string_view source;  // the operand as given, "-" for standard input
  std::int64_t line = 0;    // counted from 1
};

// A graded puzzle line of the batch.
struct GradedRow {
  RowPlace place;
  std::string_view puzzle;  // its 81 digits
  RunSummary run;
  std::optional<int> solutions;       // 0, 1 or 2 (two or more), when counted
  std::string_view page;              // its page's name beside the other pages; empty: none written
  std::optional<AnswerCheck> answer;  // its answer check, when asked for
};

// One of the hardest puzzles.
struct HardPuzzle {
  std::string source;
  std::int64_t line = 0;
  std::array<char, 81> puzzle{};
  RunSummary run;
  std::optional<int> solutions;
  std::string page;  // empty: none
};

// A puzzle whose answer differs from the solved grid.
struct DifferingPuzzle {
  std::string source;
  std::int64_t line = 0;
  std::string page;  // empty: none
};

struct RefusedLine {
  std::string source;
  std::int64_t line = 0;
  std::string message;
};

// Counts per outcome, in bins: [outcome][bin].
template <std::size_t kBinCount>
using OutcomeBins = std::array<std::array<std::int64_t, kBinCount>, kOutcomes>;

// What the overview of a batch shows, kept in memory fixed from the start whatever the batch's
// size: counters, the first kMaxFiles FILEs, the kHardest hardest puzzles and the first
// kMaxRefused refused lines; outside text (the FILEs' names among it) is kept up to a bound. Fed
// from one thread, in input order: the rows of a FILE, then its FileDone or FileNotRead.
class BatchTally {
 public:
  static constexpr std::size_t kMaxFiles = 100;
  static constexpr std::size_t kHardest = 50;
  static constexpr std::size_t kMaxRefused = 50;
  static constexpr std::size_t kMaxDiffering = 50;
  static constexpr std::size_t kMaxDepth = 10;  // deeper guess levels count as this one
  // Attempts and steps: 0, 1, 2, 3-4, 5-8, ..., up to 2^62+1 - 2^63.
  static constexpr std::size_t kCountBins = 65;
  // Names and messages are shown up to 200 characters; four bytes a character and one more
  // character keep what the page needs to show its "…".
  static constexpr std::size_t kShownCharacters = 200;
  static constexpr std::size_t kMaxStoredBytes = 4 * (kShownCharacters + 1);
  // A page name longer than this is not kept: no link rather than a broken one.
  static constexpr std::size_t kMaxPageBytes = 512;

  explicit BatchTally(RunParameters parameters);

  void AddGraded(const GradedRow& row);
  void AddRefused(const RowPlace& place, std::string_view message);
  // The FILE could not be opened, or its reading failed after the rows given so far.
  void FileNotRead(std::size_t operand, std::string_view source, std::string_view reason);
  // The FILE was read to its end: `linesRead` lines, blank and comment lines included.
  void FileDone(std::size_t operand, std::string_view source, std::int64_t linesRead);

  // The bin of a count of attempts or steps: 0, 1, 2, then 3-4 is 3, 5-8 is 4, ...
  static std::size_t BinOf(std::int64_t count);
  // The smallest and largest count of a bin.
  static std::int64_t BinLow(std::size_t bin);
  static std::int64_t BinHigh(std::size_t bin);

  const RunParameters& parameters() const { return parameters_; }
  const LineCounts& totals() const { return totals_; }
  std::span<const FileTally> files() const { return files_; }
  // The FILEs after the first kMaxFiles: how many, and their counts together.
  std::int64_t moreFiles() const { return moreFiles_; }
  const LineCounts& moreCounts() const { return moreCounts_; }
  std::int64_t filesNotRead() const { return filesNotRead_; }

  const OutcomeBins<kCountBins>& attempts() const { return attempts_; }
  const OutcomeBins<kCountBins>& steps() const { return steps_; }
  const OutcomeBins<kMaxDepth + 1>& depths() const { return depths_; }
  // Puzzles by outcome and solutions: [outcome][0, 1 or 2+].
  const OutcomeBins<3>& solutions() const { return solutions_; }

  // Most steps first; among equal steps, in input order.
  std::span<const HardPuzzle> hardest() const { return {hardest_.data(), hardestCount_}; }
  std::span<const RefusedLine> refusals() const { return refusals_; }
  std::int64_t moreRefused() const { return moreRefused_; }
  // The first puzzles whose answers differ, and how many more.
  std::span<const DifferingPuzzle> differing() const { return differing_; }
  std::int64_t moreDiffering() const { return moreDiffering_; }

 private:
  // A sweep keeps one tally's worth for all its sets, and makes its best set's tally at the end.
  friend class SweepTally;

  // The counts of the row's FILE (those of the FILEs past the first kMaxFiles together),
  // starting a new FILE when the operand changes.
  LineCounts& CountsOf(std::size_t operand, std::string_view source);
  void KeepIfHard(const GradedRow& row);

  RunParameters parameters_;
  LineCounts totals_;
  std::vector<FileTally> files_;
  std::int64_t moreFiles_ = 0;
  LineCounts moreCounts_;
  std::int64_t filesNotRead_ = 0;
  std::optional<std::size_t> operand_;  // the FILE under way

  OutcomeBins<kCountBins> attempts_{};
  OutcomeBins<kCountBins> steps_{};
  OutcomeBins<kMaxDepth + 1> depths_{};
  OutcomeBins<3> solutions_{};

  std::array<HardPuzzle, kHardest> hardest_{};
  std::size_t hardestCount_ = 0;
  std::vector<RefusedLine> refusals_;
  std::int64_t moreRefused_ = 0;
  std::vector<DifferingPuzzle> differing_;
  std::int64_t moreDiffering_ = 0;
};

}  // namespace tarvik::view
