// SPDX-License-Identifier: MIT
#include "view/run_recorder.h"

#include <algorithm>
#include <utility>

#include "control/guessing.h"

namespace tarvik::view {
namespace {

std::int8_t Digit(std::int32_t value) {
  return value >= 0 && value <= 9 ? static_cast<std::int8_t>(value) : std::int8_t{-1};
}

Cell CellOf(std::int32_t row, std::int32_t column, std::int32_t value) {
  return {Digit(row), Digit(column), Digit(value)};
}

bool InGrid(const Cell& cell) { return cell.row >= 1 && cell.column >= 1 && cell.value >= 0; }

}  // namespace

PairSearchResult FindDeadOrPairCell(const Grid& grid) {
  // The solver's own pair search, on a state that holds this grid.
  PuzzleState st;
  st.S = grid;
  SEARCHFORPAIR(st);
  if (st.I > 9) return {};
  return {st.I, st.J, st.NCAND};
}

RunRecorder::RunRecorder() {
  summary_.attempts = 1;
  current_.summary.number = 1;
  current_.steps.reserve(AttemptRecord::kMaxSteps);
  current_.fills.reserve(AttemptRecord::kMaxFills);
}

void RunRecorder::OnLine(LineKind kind, std::span<const std::int32_t> values) {
  const auto value = [values](std::size_t k) { return k < values.size() ? values[k] : 0; };
  AttemptSummary& attempt = current_.summary;
  switch (kind) {
    case LineKind::MATRIXHEADER:
      if (previous_ == LineKind::FOUNDCOUNT) {
        if (stepKept_) current_.steps.back().emptyAfter = value(0);
      } else {
        attempt.emptyAtStart = value(0);
      }
      attempt.emptyAtEnd = value(0);
      break;
    case LineKind::PUZZLESTART:
      attempt.emptyAtStart = value(0);
      if (attempt.steps == 0) attempt.emptyAtEnd = value(0);
      grid_ = Grid{};
      rows_ = Rows::kAttemptStart;
      rowsTaken_ = 0;
      break;
    case LineKind::MATRIXROW: TakeRow(values); break;
    case LineKind::ROWSTEP: StartStep(Technique::kRows, value(0)); break;
    case LineKind::COLUMNSTEP: StartStep(Technique::kColumns, value(0)); break;
    case LineKind::BOXSTEP: StartStep(Technique::kBoxes, value(0)); break;
    case LineKind::SINGLESTEP: StartStep(Technique::kSingleValue, value(0)); break;
    case LineKind::CELLFOUND:
    case LineKind::CELLFOUNDCOLUMN: AddFill(values); break;
    case LineKind::NOPROGRESS: stalled_ = true; break;
    case LineKind::PAIRFOUND:
      pairFound_ = true;
      attempt.cell = CellOf(value(0), value(1), value(2));
      attempt.secondValue = Digit(value(3));
      break;
    case LineKind::RESTARTING:
      EndStall(Outcome::kUnfinished);
      StartNextAttempt();
      break;
    case LineKind::GUESSAPPLIED:
      if (attempt.guessCount < AttemptSummary::kMaxGuesses) {
        attempt.guesses[static_cast<std::size_t>(attempt.guessCount)] =
            CellOf(value(0), value(1), value(2));
      }
      if (attempt.guessCount < INT32_MAX) ++attempt.guessCount;
      summary_.depth = std::max(summary_.depth, attempt.guessCount);
      break;
    case LineKind::PUZZLESOLVED: EndRun(Ending::kSolved, Outcome::kSolved); break;
    case LineKind::MAXSTEPS: EndRun(Ending::kStepLimit, Outcome::kStepLimit); break;
    case LineKind::NOSOLUTION: EndStall(Outcome::kNoSolution); break;
    case LineKind::NOMOREGUESSES: EndStall(Outcome::kNoFurtherGuesses); break;
    case LineKind::SEARCHSEQUENCE:
    case LineKind::FOUNDCOUNT:
    case LineKind::FILEBANNER: break;
  }
  previous_ = kind;
}

void RunRecorder::StartStep(Technique technique, std::int32_t number) {
  AttemptSummary& attempt = current_.summary;
  rows_ = Rows::kNone;
  stepKept_ = attempt.steps < AttemptRecord::kMaxSteps;
  if (stepKept_) {
    StepRecord step;
    step.technique = technique;
    step.number = number;
    step.emptyAfter = attempt.emptyAtEnd;
    step.firstFill = static_cast<std::uint8_t>(current_.fills.size());
    current_.steps.push_back(step);
  }
  if (attempt.steps < INT32_MAX) ++attempt.steps;
  ++summary_.steps;
}

void RunRecorder::AddFill(std::span<const std::int32_t> values) {
  const auto value = [values](std::size_t k) { return k < values.size() ? values[k] : 0; };
  const Cell cell = CellOf(value(0), value(1), value(2));
  if (InGrid(cell)) grid_(cell.row, cell.column) = cell.value;
  if (!stepKept_) return;  // only the steps kept have their cells listed
  if (current_.fills.size() < AttemptRecord::kMaxFills) {
    current_.fills.push_back(cell);
    ++current_.steps.back().fillCount;
  } else if (current_.fillsDropped < INT32_MAX) {
    ++current_.fillsDropped;
  }
}

void RunRecorder::EndRun(Ending ending, Outcome outcome) {
  current_.summary.ending = ending;
  summary_.outcome = outcome;
  rows_ = Rows::kFinal;  // the final grid's rows come next
  rowsTaken_ = 0;
}

void RunRecorder::EndStall(Outcome outcome) {
  AttemptSummary& attempt = current_.summary;
  if (stalled_) {
    if (pairFound_) {
      attempt.ending =
          attempt.guessCount < AttemptSummary::kMaxGuesses ? Ending::kGuessed : Ending::kStackFull;
    } else {
      // The report does not say why no guess was made: ask the grid, in the pair search's order.
      const PairSearchResult found = FindDeadOrPairCell(grid_);
      if (found.row != 0 && found.candidates == 0) {
        attempt.ending = Ending::kDeadCell;
        attempt.cell = {static_cast<std::int8_t>(found.row), static_cast<std::int8_t>(found.column),
                        0};
      } else {
        attempt.ending = Ending::kNoTwoValueCell;
      }
    }
  }
  if (outcome != Outcome::kUnfinished) {
    summary_.outcome = outcome;
    rows_ = Rows::kFinal;
    rowsTaken_ = 0;
  }
}

void RunRecorder::StartNextAttempt() {
  if (summaries_.size() < kMaxSummaries) summaries_.push_back(current_.summary);

  // Into the band go the start count and the count after each step kept.
  const int length = static_cast<int>(current_.steps.size());
  for (int k = 0; k <= length; ++k) {
    const std::int32_t count = k == 0 ? current_.summary.emptyAtStart
                                      : current_.steps[static_cast<std::size_t>(k) - 1].emptyAfter;
    const auto at = static_cast<std::size_t>(k);
    if (k > band_.longest) {
      band_.low[at] = count;
      band_.high[at] = count;
      band_.longest = k;
    } else {
      band_.low[at] = std::min(band_.low[at], count);
      band_.high[at] = std::max(band_.high[at], count);
    }
  }
  if (band_.attempts < INT32_MAX) ++band_.attempts;

  const std::int32_t number = current_.summary.number;
  AttemptRecord next;
  if (number <= kFullAtEachEnd) {
    first_.push_back(std::move(current_));
  } else if (ring_.size() < kFullAtEachEnd - 1) {
    ring_.push_back(std::move(current_));
  } else {
    // The oldest in the ring gives way; its vectors are reused for the next attempt.
    std::swap(next, ring_[ringStart_]);
    ring_[ringStart_] = std::move(current_);
    ringStart_ = (ringStart_ + 1) % ring_.size();
  }
  current_ = std::move(next);
  current_.steps.clear();
  current_.fills.clear();
  current_.fillsDropped = 0;
  current_.summary = AttemptSummary{};
  current_.summary.number = number < INT32_MAX ? number + 1 : number;
  current_.steps.reserve(AttemptRecord::kMaxSteps);
  current_.fills.reserve(AttemptRecord::kMaxFills);
  summary_.attempts = current_.summary.number;

  stalled_ = false;
  pairFound_ = false;
  stepKept_ = false;
  rows_ = Rows::kNone;
  grid_ = Grid{};
}

void RunRecorder::TakeRow(std::span<const std::int32_t> values) {
  if (rows_ == Rows::kNone) return;
  const int row = ++rowsTaken_;
  Grid& grid = rows_ == Rows::kFinal ? summary_.finalGrid : grid_;
  for (int j = 1; j <= 9; ++j) {
    const std::int32_t value =
        static_cast<std::size_t>(j) <= values.size() ? values[static_cast<std::size_t>(j) - 1] : 0;
    grid(row, j) = value >= 1 && value <= 9 ? static_cast<std::int8_t>(value) : std::int8_t{0};
  }
  if (row == 9) {
    if (rows_ == Rows::kFinal) {
      summary_.empty = 0;
      for (int i = 1; i <= 9; ++i) {
        for (int j = 1; j <= 9; ++j) summary_.empty += grid(i, j) == 0 ? 1 : 0;
      }
    }
    rows_ = Rows::kNone;
  }
}

std::vector<const AttemptRecord*> RunRecorder::FullAttempts() const {
  std::vector<const AttemptRecord*> all;
  all.reserve(first_.size() + ring_.size() + 1);
  for (const AttemptRecord& attempt : first_) all.push_back(&attempt);
  for (std::size_t k = 0; k < ring_.size(); ++k) {
    all.push_back(&ring_[(ringStart_ + k) % ring_.size()]);
  }
  all.push_back(&current_);
  return all;
}

}  // namespace tarvik::view
