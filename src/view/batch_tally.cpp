// SPDX-License-Identifier: MIT
#include "view/batch_tally.h"

#include <algorithm>
#include <bit>
#include <utility>

namespace tarvik::view {
namespace {

// Outside text kept up to the bound, into a string whose storage is reused.
void Keep(std::string& to, std::string_view text) {
  to.assign(text.substr(0, std::min(text.size(), BatchTally::kMaxStoredBytes)));
}

std::size_t IndexOf(Outcome outcome) { return static_cast<std::size_t>(outcome); }

}  // namespace

BatchTally::BatchTally(RunParameters parameters) : parameters_(std::move(parameters)) {
  Keep(parameters_.sequence, parameters_.sequence);
  files_.reserve(kMaxFiles);
  refusals_.reserve(kMaxRefused);
  differing_.reserve(kMaxDiffering);
}

std::size_t BatchTally::BinOf(std::int64_t count) {
  if (count <= 0) return 0;
  return 1 + static_cast<std::size_t>(std::bit_width(static_cast<std::uint64_t>(count) - 1));
}

std::int64_t BatchTally::BinLow(std::size_t bin) {
  if (bin < 2) return static_cast<std::int64_t>(bin);
  return (std::int64_t{1} << (bin - 2)) + 1;
}

std::int64_t BatchTally::BinHigh(std::size_t bin) {
  if (bin < 2) return static_cast<std::int64_t>(bin);
  if (bin >= kCountBins - 1) return INT64_MAX;
  return std::int64_t{1} << (bin - 1);
}

LineCounts& BatchTally::CountsOf(std::size_t operand, std::string_view source) {
  if (operand_ != operand) {
    operand_ = operand;
    if (files_.size() < kMaxFiles) {
      FileTally& file = files_.emplace_back();
      file.operand = operand;
      Keep(file.source, source);
    } else {
      ++moreFiles_;
    }
  }
  return moreFiles_ == 0 ? files_.back().counts : moreCounts_;
}

void BatchTally::AddGraded(const GradedRow& row) {
  LineCounts& file = CountsOf(row.place.operand, row.place.source);
  const std::size_t outcome = IndexOf(row.run.outcome);
  file.Count(row.run.outcome, row.solutions, row.answer);
  totals_.Count(row.run.outcome, row.solutions, row.answer);
  if (row.answer == AnswerCheck::kDiffers) {
    if (differing_.size() == kMaxDiffering) {
      ++moreDiffering_;
    } else {
      DifferingPuzzle& puzzle = differing_.emplace_back();
      Keep(puzzle.source, row.place.source);
      puzzle.line = row.place.line;
      if (row.page.size() <= kMaxPageBytes) puzzle.page.assign(row.page);
    }
  }
  ++attempts_[outcome][BinOf(row.run.attempts)];
  ++steps_[outcome][BinOf(row.run.steps)];
  ++depths_[outcome]
           [static_cast<std::size_t>(std::clamp<std::int64_t>(row.run.depth, 0, kMaxDepth))];
  if (row.solutions)
    ++solutions_[outcome][static_cast<std::size_t>(std::clamp(*row.solutions, 0, 2))];
  KeepIfHard(row);
}

// The hardest puzzles stay sorted, most steps first; a later puzzle with as many steps as the
// last one kept does not displace it, so ties keep input order.
void BatchTally::KeepIfHard(const GradedRow& row) {
  const std::int64_t steps = row.run.steps;
  if (hardestCount_ == kHardest && steps <= hardest_[kHardest - 1].run.steps) return;
  const auto kept = hardest_.begin() + static_cast<std::ptrdiff_t>(hardestCount_);
  const auto at = std::find_if(hardest_.begin(), kept,
                               [steps](const HardPuzzle& p) { return p.run.steps < steps; });
  if (hardestCount_ < kHardest) ++hardestCount_;
  // The slot that drops out (or the first unused one) moves to `at`, its storage reused.
  const auto last = hardest_.begin() + static_cast<std::ptrdiff_t>(hardestCount_);
  std::rotate(at, last - 1, last);
  HardPuzzle& puzzle = *at;
  Keep(puzzle.source, row.place.source);
  puzzle.line = row.place.line;
  // Digits only, so that the page needs no care for them.
  for (std::size_t k = 0; k < puzzle.puzzle.size(); ++k) {
    const char c = k < row.puzzle.size() ? row.puzzle[k] : '0';
    puzzle.puzzle[k] = c >= '0' && c <= '9' ? c : '.';
  }
  puzzle.run = row.run;
  puzzle.solutions = row.solutions;
  if (row.page.size() <= kMaxPageBytes) {
    puzzle.page.assign(row.page);
  } else {
    puzzle.page.clear();
  }
}

void BatchTally::AddRefused(const RowPlace& place, std::string_view message) {
  CountsOf(place.operand, place.source).Count(std::nullopt, std::nullopt);
  totals_.Count(std::nullopt, std::nullopt);
  if (refusals_.size() == kMaxRefused) {
    ++moreRefused_;
    return;
  }
  RefusedLine& refused = refusals_.emplace_back();
  Keep(refused.source, place.source);
  refused.line = place.line;
  Keep(refused.message, message);
}

void BatchTally::FileNotRead(std::size_t operand, std::string_view source,
                             std::string_view reason) {
  CountsOf(operand, source);
  ++filesNotRead_;
  if (moreFiles_ == 0) Keep(files_.back().notRead.emplace(), reason);
}

void BatchTally::FileDone(std::size_t operand, std::string_view source, std::int64_t linesRead) {
  CountsOf(operand, source).linesRead += linesRead;
  totals_.linesRead += linesRead;
}

}  // namespace tarvik::view
