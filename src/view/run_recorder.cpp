// SPDX-License-Identifier: MIT
#include "view/run_recorder.h"

#include <algorithm>
#include <utility>

#include "state/empty_cells.h"

namespace tarvik::view {
namespace {

Cell CellOf(std::int32_t row, std::int32_t column, std::int32_t value) {
  return {static_cast<std::int8_t>(row), static_cast<std::int8_t>(column),
          static_cast<std::int8_t>(value)};
}

}  // namespace

RunRecorder::RunRecorder() {
  summary_.run.attempts = 1;
  current_.summary.number = 1;
  current_.steps.reserve(DrawnAttempt::kMaxSteps);
  current_.fills.reserve(DrawnAttempt::kMaxFills);
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
      break;
    case LineKind::MATRIXROW: TakeFinalRow(values); break;
    case LineKind::ROWSTEP: StartStep(Technique::kRows, value(0)); break;
    case LineKind::COLUMNSTEP: StartStep(Technique::kColumns, value(0)); break;
    case LineKind::BOXSTEP: StartStep(Technique::kBoxes, value(0)); break;
    case LineKind::SINGLESTEP: StartStep(Technique::kSingleValue, value(0)); break;
    case LineKind::CELLFOUND:
    case LineKind::CELLFOUNDCOLUMN: AddFill(CellOf(value(0), value(1), value(2))); break;
    case LineKind::RESTARTING: StartNextAttempt(); break;
    case LineKind::GUESSAPPLIED:
      if (attempt.guessCount < AttemptSummary::kMaxGuesses) {
        attempt.guesses[static_cast<std::size_t>(attempt.guessCount)] =
            CellOf(value(0), value(1), value(2));
      }
      ++attempt.guessCount;
      summary_.run.depth = std::max(summary_.run.depth, attempt.guessCount);
      break;
    case LineKind::PUZZLESOLVED:
      attempt.ending = Ending::kSolved;
      EndRun(Outcome::kSolved);
      break;
    case LineKind::MAXSTEPS:
      attempt.ending = Ending::kStepLimit;
      EndRun(Outcome::kStepLimit);
      break;
    case LineKind::NOSOLUTION: EndRun(Outcome::kNoSolution); break;
    case LineKind::NOMOREGUESSES: EndRun(Outcome::kNoFurtherGuesses); break;
    case LineKind::NOPROGRESS:  // the pair search says how the stall ends
    case LineKind::PAIRFOUND:
    case LineKind::SEARCHSEQUENCE:
    case LineKind::FOUNDCOUNT:
    case LineKind::FILEBANNER: break;
  }
  previous_ = kind;
}

void RunRecorder::OnPairSearch(const PairSearchResult& result) {
  AttemptSummary& attempt = current_.summary;
  switch (result.found) {
    case PairSearchResult::Found::kTwoValueCell:
      attempt.ending =
          attempt.guessCount < AttemptSummary::kMaxGuesses ? Ending::kGuessed : Ending::kStackFull;
      attempt.cell = {result.row, result.column, result.first};
      attempt.secondValue = result.second;
      break;
    case PairSearchResult::Found::kDeadCell:
      attempt.ending = Ending::kDeadCell;
      attempt.cell = {result.row, result.column, 0};
      break;
    case PairSearchResult::Found::kNeither: attempt.ending = Ending::kNoTwoValueCell; break;
  }
}

void RunRecorder::StartStep(Technique technique, std::int32_t number) {
  AttemptSummary& attempt = current_.summary;
  stepKept_ = attempt.steps < DrawnAttempt::kMaxSteps;
  if (stepKept_) {
    DrawnStep step;
    step.technique = technique;
    step.number = number;
    step.emptyAfter = attempt.emptyAtEnd;
    step.firstFill = static_cast<std::uint8_t>(current_.fills.size());
    current_.steps.push_back(step);
  }
  ++attempt.steps;
  ++summary_.run.steps;
}

void RunRecorder::AddFill(const Cell& cell) {
  if (!stepKept_) return;  // only the steps kept have their cells listed
  if (current_.fills.size() < DrawnAttempt::kMaxFills) {
    current_.fills.push_back(cell);
    ++current_.steps.back().fillCount;
  } else {
    ++current_.fillsDropped;
  }
}

void RunRecorder::EndRun(Outcome outcome) {
  summary_.run.outcome = outcome;
  finalRows_ = 0;
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
  ++band_.attempts;

  const std::int32_t number = current_.summary.number;
  DrawnAttempt next;
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
  current_.summary.number = number + 1;
  current_.steps.reserve(DrawnAttempt::kMaxSteps);
  current_.fills.reserve(DrawnAttempt::kMaxFills);
  summary_.run.attempts = current_.summary.number;
  stepKept_ = false;
}

void RunRecorder::TakeFinalRow(std::span<const std::int32_t> values) {
  if (finalRows_ < 0 || finalRows_ == 9) return;  // only the final grid is kept
  const int row = ++finalRows_;
  for (int j = 1; j <= 9 && static_cast<std::size_t>(j) <= values.size(); ++j) {
    summary_.finalGrid(row, j) = static_cast<std::int8_t>(values[static_cast<std::size_t>(j) - 1]);
  }
  if (row == 9) {
    summary_.empty = EmptyCells(summary_.finalGrid);
  }
}

std::vector<const DrawnAttempt*> RunRecorder::FullAttempts() const {
  std::vector<const DrawnAttempt*> all;
  all.reserve(first_.size() + ring_.size() + 1);
  for (const DrawnAttempt& attempt : first_) all.push_back(&attempt);
  for (std::size_t k = 0; k < ring_.size(); ++k) {
    all.push_back(&ring_[(ringStart_ + k) % ring_.size()]);
  }
  all.push_back(&current_);
  return all;
}

}  // namespace tarvik::view
