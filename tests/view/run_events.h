// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

#include "report/report.h"
#include "state/grid.h"
#include "state/puzzle_state.h"
#include "support/test_support.h"
#include "view/run_recorder.h"

namespace tarvik::view::testing {

using tarvik::testing::GridOf;

// A cell and its value, as the report's cell lines give them.
struct Placed {
  int row;
  int column;
  int value;
};

// Feeds a recorder the events of a run written by hand, in the order a report at print level 2
// gives them, keeping the working grid so that the grid listings are right.
class RunEvents {
 public:
  explicit RunEvents(const Grid& start) : start_(start), grid_(start) {}

  RunRecorder recorder;

  void Line(LineKind kind, std::initializer_list<std::int32_t> values = {}) {
    recorder.OnLine(kind, std::span<const std::int32_t>(values.begin(), values.size()));
  }
  // The attempt's start count and listing: the first attempt's, or after Restart().
  void Begin() {
    Line(LineKind::MATRIXHEADER, {Empty()});
    Line(LineKind::PUZZLESTART, {Empty()});
    List();
  }
  // One step: its header, a cell line per fill (CELLFOUNDCOLUMN for the column search), the count
  // line and the count after it.
  void Step(LineKind header, int number, const std::vector<Placed>& fills = {}) {
    Line(header, {number});
    for (const Placed& fill : fills) {
      grid_(fill.row, fill.column) = static_cast<std::int8_t>(fill.value);
      Line(header == LineKind::COLUMNSTEP ? LineKind::CELLFOUNDCOLUMN : LineKind::CELLFOUND,
           {fill.row, fill.column, fill.value});
    }
    Line(LineKind::FOUNDCOUNT, {static_cast<std::int32_t>(fills.size())});
    Line(LineKind::MATRIXHEADER, {Empty()});
  }
  // `count` steps of the single-value search that fill nothing, numbered from `first`.
  void EmptySteps(int first, int count) {
    for (int k = 0; k < count; ++k) Step(LineKind::SINGLESTEP, first + k);
  }
  // A stall: NOPROGRESS, then what the pair search found, told as the guess logic tells it.
  void StallOnPair(int row, int column, int first, int second) {
    Line(LineKind::NOPROGRESS);
    Found(PairSearchResult::Found::kTwoValueCell, row, column, first, second);
    Line(LineKind::PAIRFOUND, {row, column, first, second});
  }
  void StallOnDeadCell(int row, int column) {
    Line(LineKind::NOPROGRESS);
    Found(PairSearchResult::Found::kDeadCell, row, column, 0, 0);
  }
  void StallWithoutPair() {
    Line(LineKind::NOPROGRESS);
    Found(PairSearchResult::Found::kNeither, 0, 0, 0, 0);
  }
  // RESTARTING, the guesses applied to the start grid, then the next attempt's start.
  void Restart(const std::vector<Placed>& guesses) {
    Line(LineKind::RESTARTING);
    grid_ = start_;
    for (const Placed& guess : guesses) {
      grid_(guess.row, guess.column) = static_cast<std::int8_t>(guess.value);
      Line(LineKind::GUESSAPPLIED, {guess.row, guess.column, guess.value});
    }
    Begin();
  }
  // The outcome line, the final listing and the banner.
  void Finish(LineKind outcome) {
    Line(outcome);
    List();
    Line(LineKind::FILEBANNER);
  }

  const Grid& grid() const { return grid_; }

 private:
  void Found(PairSearchResult::Found found, int row, int column, int first, int second) {
    recorder.OnPairSearch({found, static_cast<std::int8_t>(row), static_cast<std::int8_t>(column),
                           static_cast<std::int8_t>(first), static_cast<std::int8_t>(second)});
  }
  std::int32_t Empty() const {
    std::int32_t empty = 0;
    for (int i = 1; i <= 9; ++i) {
      for (int j = 1; j <= 9; ++j) empty += grid_(i, j) == 0 ? 1 : 0;
    }
    return empty;
  }
  void List() {
    for (int i = 1; i <= 9; ++i) {
      std::int32_t row[9];
      for (int j = 1; j <= 9; ++j) row[j - 1] = grid_(i, j);
      recorder.OnLine(LineKind::MATRIXROW, row);
    }
  }

  Grid start_;
  Grid grid_;
};

// Three givens: a start on which runs are easy to write by hand.
constexpr const char* kThreeGivens =
    "530000000 600000000 000000000 000000000 000000000 000000000 000000000 000000000 "
    "000000000";

// On kThreeGivens, a first attempt that fills nothing in five steps and stalls on S(1,3), which
// holds 4 or 8.
inline RunEvents StalledOnFirstPair() {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  run.EmptySteps(1, 5);
  run.StallOnPair(1, 3, 4, 8);
  return run;
}

// The same, then S(1,3) = 4 guessed, S(2,2) = 7 placed in the second attempt's first step, and
// the run declared solved after its fifth.
inline RunEvents GuessedOnceAndSolved() {
  RunEvents run = StalledOnFirstPair();
  run.Restart({{1, 3, 4}});
  run.Step(LineKind::BOXSTEP, 1, {{2, 2, 7}});
  run.EmptySteps(2, 4);
  run.Finish(LineKind::PUZZLESOLVED);
  return run;
}

// `codes` over and over, `length` of them.
inline std::vector<int> Repeated(const std::vector<int>& codes, std::size_t length) {
  std::vector<int> sequence;
  for (std::size_t k = 0; k < length; ++k) sequence.push_back(codes[k % codes.size()]);
  return sequence;
}

// A state as the input reader leaves it: the start grid, the parameters and the sequence.
inline PuzzleState InputOf(const Grid& start, int printLevel, int lookBack,
                           std::vector<int> sequence) {
  PuzzleState st;
  st.SSTART = start;
  st.IPRINT = printLevel;
  st.NBACK = lookBack;
  st.NSTEPS = static_cast<std::int32_t>(sequence.size());
  for (std::size_t k = 0; k < sequence.size(); ++k) st.SEQ.data[k] = sequence[k];
  return st;
}

}  // namespace tarvik::view::testing
