// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "control/run_summary.h"
#include "report/report.h"
#include "state/grid.h"

namespace tarvik::view {

// The technique of a step, by the header line that opened it.
enum class Technique : std::uint8_t { kRows, kColumns, kBoxes, kSingleValue };

// How one attempt ended. A stall ends in one of the last four: a two-value cell guessed, a
// two-value cell met with the guess stack full, a dead cell, or no two-value cell at all.
enum class Ending : std::uint8_t {
  kUnfinished,
  kSolved,
  kStepLimit,
  kGuessed,
  kStackFull,
  kDeadCell,
  kNoTwoValueCell,
};

// A cell and a value.
struct Cell {
  std::int8_t row = 0;
  std::int8_t column = 0;
  std::int8_t value = 0;
  friend bool operator==(const Cell&, const Cell&) = default;
};

// A technique step as the page draws it: its header's step number, the cells it filled
// (fills[firstFill] onwards) and the empty cells counted after it.
struct DrawnStep {
  Technique technique = Technique::kRows;
  std::int32_t number = 0;
  std::int32_t emptyAfter = 0;
  std::uint8_t firstFill = 0;
  std::uint8_t fillCount = 0;
};

// What a summary row shows of an attempt.
struct AttemptSummary {
  static constexpr int kMaxGuesses = 10;

  std::int32_t number = 0;                  // 1 for the run's first attempt
  std::int32_t guessCount = 0;              // GUESSAPPLIED lines at its start
  std::array<Cell, kMaxGuesses> guesses{};  // the first kMaxGuesses of them, oldest first
  std::int32_t steps = 0;                   // technique steps
  std::int32_t emptyAtStart = 0;
  std::int32_t emptyAtEnd = 0;  // after its last step, or at its start if it had none
  Ending ending = Ending::kUnfinished;
  // kGuessed, kStackFull: the two-value cell with its smaller value, and the larger one;
  // kDeadCell: the dead cell.
  Cell cell{};
  std::int8_t secondValue = 0;
};

// An attempt as the page draws it in full: its summary and every step with the cells it filled.
struct DrawnAttempt {
  static constexpr int kMaxSteps = 100;  // the longest search sequence
  static constexpr int kMaxFills = 81;   // a cell is filled at most once per attempt

  AttemptSummary summary;
  std::vector<DrawnStep> steps;   // the first kMaxSteps steps
  std::vector<Cell> fills;        // the first kMaxFills cells filled
  std::int32_t fillsDropped = 0;  // cells filled beyond kMaxFills
};

// The lowest and highest empty-cell count after each step, over a set of attempts.
struct StepBand {
  std::int32_t attempts = 0;  // how many attempts were folded in
  std::int32_t longest = -1;  // highest step with an entry; -1 while empty
  std::array<std::int32_t, DrawnAttempt::kMaxSteps + 1> low{};
  std::array<std::int32_t, DrawnAttempt::kMaxSteps + 1> high{};
};

// What the page's top shows of the run: its numbers and outcome, and the final grid.
struct PageSummary {
  RunSummary run;
  Grid finalGrid;           // the grid listed after the outcome line
  std::int32_t empty = 81;  // empty cells of finalGrid
};

// Listens to a report at print level 2 and keeps what the run page shows: the run's numbers, the
// first and the last attempts in full, a summary row of every attempt, and for the chart the
// counts of the attempts kept in full and a band over all but the last. Memory stays bounded:
// at most 2 * kFullAtEachEnd attempts in full and kMaxSummaries rows.
//
// An attempt begins at the first event and at each RESTARTING; its guesses are the GUESSAPPLIED
// lines that follow. A MATRIXHEADER right after FOUNDCOUNT is a step's count, any other the count
// at the start of an attempt. A stalled attempt ends as the pair search found.
class RunRecorder final : public LineListener {
 public:
  static constexpr int kFullAtEachEnd = 20;
  // The most attempts a run makes: with 10 levels of two values each, 2^11 - 1.
  static constexpr std::size_t kMaxSummaries = 2047;

  RunRecorder();
  void OnLine(LineKind kind, std::span<const std::int32_t> values) override;
  void OnPairSearch(const PairSearchResult& result) override;

  const PageSummary& summary() const { return summary_; }
  // The run's last attempt, which the final grid shows.
  const DrawnAttempt& last() const { return current_; }
  // The attempts kept in full, in order: all of them when there are at most 2 * kFullAtEachEnd,
  // else the first and the last kFullAtEachEnd.
  std::vector<const DrawnAttempt*> FullAttempts() const;
  // One row per attempt but the last, in order, up to kMaxSummaries of them.
  std::span<const AttemptSummary> summaries() const { return summaries_; }
  // The chart's band: every attempt but the last.
  const StepBand& band() const { return band_; }

 private:
  void StartStep(Technique technique, std::int32_t number);
  void AddFill(const Cell& cell);
  // The outcome line: the final grid's rows come next.
  void EndRun(Outcome outcome);
  void StartNextAttempt();
  void TakeFinalRow(std::span<const std::int32_t> values);

  PageSummary summary_;
  DrawnAttempt current_;
  std::vector<DrawnAttempt> first_;  // attempts 1 to kFullAtEachEnd that are not the last
  std::vector<DrawnAttempt> ring_;   // the latest attempts after those, oldest at ringStart_
  std::size_t ringStart_ = 0;
  std::vector<AttemptSummary> summaries_;
  StepBand band_;

  // Where the events stand.
  LineKind previous_ = LineKind::FILEBANNER;
  bool stepKept_ = false;  // the step under way is among those kept
  int finalRows_ = -1;     // rows of the final grid taken; -1 before the outcome line
};

}  // namespace tarvik::view
