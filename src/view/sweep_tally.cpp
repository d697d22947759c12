// SPDX-License-Identifier: MIT
#include "view/sweep_tally.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>
#include <utility>

namespace tarvik::view {
namespace {

std::size_t IndexOf(Outcome outcome) { return static_cast<std::size_t>(outcome); }

// The counts of graded puzzles in `from`, added to `to`.
void AddGraded(LineCounts& to, const LineCounts& from) {
  to.puzzles += from.puzzles;
  for (std::size_t k = 0; k < kOutcomes; ++k) to.outcomes[k] += from.outcomes[k];
  for (std::size_t k = 0; k < to.solutions.size(); ++k) to.solutions[k] += from.solutions[k];
  for (std::size_t k = 0; k < kAnswerChecks; ++k) to.answers[k] += from.answers[k];
}

std::string PageOf(std::string_view stem, std::size_t set) {
  if (stem.empty()) return {};
  std::string page(stem);
  page.append("-").append(std::to_string(set + 1)).append(".html");
  return page;
}

}  // namespace

bool RanksBefore(const SetScore& a, const SetScore& b) {
  if (a.solved != b.solved) return a.solved > b.solved;
  if (a.steps != b.steps) return a.steps < b.steps;
  return a.set < b.set;
}

void SweepTally::Bins::Add(std::size_t bin, Outcome outcome) {
  const std::size_t at = bin * kOutcomes + IndexOf(outcome);
  const std::size_t size = (bin + 1) * kOutcomes;
  if (!wide_.empty()) {
    if (at >= wide_.size()) wide_.resize(size);
    ++wide_[at];
    return;
  }
  if (at >= narrow_.size()) {
    narrow_.reserve(size);  // no more than is used: one set of many
    narrow_.resize(size);
  }
  if (narrow_[at] == std::numeric_limits<std::uint32_t>::max()) {
    wide_.assign(narrow_.begin(), narrow_.end());
    std::vector<std::uint32_t>().swap(narrow_);
    ++wide_[at];
    return;
  }
  ++narrow_[at];
}

std::size_t SweepTally::Bins::size() const {
  return (wide_.empty() ? narrow_.size() : wide_.size()) / kOutcomes;
}

std::int64_t SweepTally::Bins::At(std::size_t bin) const {
  std::int64_t count = 0;
  for (std::size_t k = 0; k < kOutcomes; ++k) count += Count(bin * kOutcomes + k);
  return count;
}

template <std::size_t kBinCount>
void SweepTally::Bins::CopyTo(OutcomeBins<kBinCount>& to) const {
  to = {};
  for (std::size_t at = 0; at < size() * kOutcomes; ++at) {
    to[at % kOutcomes][std::min(at / kOutcomes, kBinCount - 1)] += Count(at);
  }
}

SweepTally::SweepTally(ParameterLists lists, const RunParameters& base)
    : lists_(std::move(lists)),
      base_(base),
      records_(lists_.Count()),
      shared_(lists_.Count() == 0 ? base : lists_.Set(0, base)),
      solvedBy_(lists_.Count() + 1) {
  if (lists_.Count() > kMaxSets) throw std::length_error("more parameter sets than a sweep holds");
  unsolved_.reserve(kMaxUnsolved);
}

std::int64_t SweepTally::files() const {
  return static_cast<std::int64_t>(shared_.files().size()) + shared_.moreFiles();
}

std::uint32_t SweepTally::Refer() {
  if (!slot_) {
    if (freeSlots_.empty()) {
      slot_ = static_cast<std::uint32_t>(store_.size());
      store_.emplace_back();
    } else {
      slot_ = freeSlots_.back();
      freeSlots_.pop_back();
    }
    StoredRow& row = store_[*slot_];
    row.source.assign(
        place_.source.substr(0, std::min(place_.source.size(), BatchTally::kMaxStoredBytes)));
    row.line = place_.line;
    for (std::size_t k = 0; k < row.puzzle.size(); ++k) {
      const char c = k < puzzle_.size() ? puzzle_[k] : '0';
      row.puzzle[k] = c >= '0' && c <= '9' ? c : '.';
    }
    row.solutions = solutions_;
    row.pageStem.assign(pageStem_);
    row.references = 0;
  }
  ++store_[*slot_].references;
  return *slot_;
}

void SweepTally::Release(std::uint32_t slot) {
  if (--store_[slot].references == 0) freeSlots_.push_back(slot);
}

SweepTally::RowRef SweepTally::Pack(const RunSummary& run) {
  RowRef ref{Refer() << 9 | static_cast<std::uint32_t>(run.outcome), 0, run.steps};
  const bool narrow = run.attempts >= 0 &&
                      run.attempts <= std::numeric_limits<std::uint32_t>::max() && run.depth >= 0 &&
                      run.depth < static_cast<std::int32_t>(RowRef::kWideRun);
  if (narrow) {
    ref.word |= static_cast<std::uint32_t>(run.depth) << 2;
    ref.attempts = static_cast<std::uint32_t>(run.attempts);
    return ref;
  }
  ref.word |= RowRef::kWideRun << 2;
  if (freeWideRuns_.empty()) {
    ref.attempts = static_cast<std::uint32_t>(wideRuns_.size());
    wideRuns_.emplace_back();
  } else {
    ref.attempts = freeWideRuns_.back();
    freeWideRuns_.pop_back();
  }
  wideRuns_[ref.attempts] = {run.attempts, run.depth};
  return ref;
}

RunSummary SweepTally::RunOf(const RowRef& ref) const {
  if (ref.depth() == RowRef::kWideRun) {
    const WideRun& wide = wideRuns_[ref.attempts];
    return {ref.outcome(), wide.attempts, ref.steps, wide.depth};
  }
  return {ref.outcome(), std::int64_t{ref.attempts}, ref.steps,
          static_cast<std::int32_t>(ref.depth())};
}

void SweepTally::Drop(const RowRef& ref) {
  if (ref.depth() == RowRef::kWideRun) freeWideRuns_.push_back(ref.attempts);
  Release(ref.slot());
}

// As BatchTally::KeepIfHard: most steps first, ties in input order.
void SweepTally::KeepIfHard(SetRecord& record, const SetRun& run) {
  std::vector<RowRef>& hardest = record.hardest;
  const std::int64_t steps = run.run.steps;
  if (hardest.size() == BatchTally::kHardest && steps <= hardest.back().steps) return;
  if (hardest.size() == BatchTally::kHardest) {
    Drop(hardest.back());
    hardest.pop_back();
  }
  if (hardest.capacity() == 0) hardest.reserve(BatchTally::kHardest);
  const auto at = std::find_if(hardest.begin(), hardest.end(),
                               [steps](const RowRef& r) { return r.steps < steps; });
  hardest.insert(at, Pack(run.run));
}

void SweepTally::AddLine(const RowPlace& place, std::string_view puzzle,
                         std::optional<int> solutions, std::string_view pageStem,
                         std::span<const SetRun> runs) {
  shared_.CountsOf(place.operand, place.source);
  ++puzzles_;
  place_ = place;
  puzzle_ = puzzle;
  solutions_ = solutions;
  pageStem_ = pageStem.size() <= BatchTally::kMaxPageBytes ? pageStem : std::string_view();
  slot_.reset();
  std::size_t solvers = 0;
  for (std::size_t k = 0; k < runs.size() && k < records_.size(); ++k) {
    const SetRun& set = runs[k];
    SetRecord& record = records_[k];
    const Outcome outcome = set.run.outcome;
    record.counts.Count(outcome, solutions, set.answer);
    record.steps += set.run.steps;
    record.attempts += set.run.attempts;
    record.deepest = std::max(record.deepest, set.run.depth);
    record.attemptBins.Add(BatchTally::BinOf(set.run.attempts), outcome);
    record.stepBins.Add(BatchTally::BinOf(set.run.steps), outcome);
    record.depthBins.Add(
        static_cast<std::size_t>(std::clamp<std::int64_t>(set.run.depth, 0, BatchTally::kMaxDepth)),
        outcome);
    if (solutions) {
      ++record.solutions[IndexOf(outcome)][static_cast<std::size_t>(std::clamp(*solutions, 0, 2))];
    }
    if (set.answer == AnswerCheck::kDiffers) {
      if (record.differing.size() == BatchTally::kMaxDiffering) {
        ++record.moreDiffering;
      } else {
        if (record.differing.capacity() == 0) record.differing.reserve(BatchTally::kMaxDiffering);
        record.differing.push_back(Refer());
      }
    }
    KeepIfHard(record, set);
    if (outcome == Outcome::kSolved) ++solvers;
  }
  ++solvedBy_[solvers];
  if (solvers > 0) return;
  if (unsolved_.size() == kMaxUnsolved) {
    ++moreUnsolved_;
    return;
  }
  UnsolvedPuzzle& none = unsolved_.emplace_back();
  none.source.assign(
      place.source.substr(0, std::min(place.source.size(), BatchTally::kMaxStoredBytes)));
  none.line = place.line;
  none.pageStem.assign(pageStem_);
}

void SweepTally::AddRefused(const RowPlace& place, std::string_view message) {
  shared_.AddRefused(place, message);
}

void SweepTally::FileNotRead(std::size_t operand, std::string_view source,
                             std::string_view reason) {
  shared_.FileNotRead(operand, source, reason);
}

void SweepTally::FileDone(std::size_t operand, std::string_view source, std::int64_t linesRead) {
  shared_.FileDone(operand, source, linesRead);
}

std::vector<std::size_t> SweepTally::BestOrder() const {
  std::vector<std::size_t> order(records_.size());
  for (std::size_t k = 0; k < order.size(); ++k) order[k] = k;
  constexpr std::size_t kSolved = static_cast<std::size_t>(Outcome::kSolved);
  std::sort(order.begin(), order.end(), [this](std::size_t a, std::size_t b) {
    return RanksBefore({records_[a].counts.outcomes[kSolved], records_[a].steps, a},
                       {records_[b].counts.outcomes[kSolved], records_[b].steps, b});
  });
  return order;
}

// In the best order, a set is beaten when one with more solved has as few steps or fewer, or one
// with as many solved has fewer steps; sets equal on both do not beat each other.
std::vector<bool> SweepTally::Unbeaten() const {
  constexpr std::size_t kSolved = static_cast<std::size_t>(Outcome::kSolved);
  std::vector<bool> unbeaten(records_.size());
  const std::vector<std::size_t> order = BestOrder();
  std::optional<std::int64_t> fewestAbove;  // the fewest steps of the sets with more solved
  for (std::size_t first = 0; first < order.size();) {
    const std::int64_t solved = records_[order[first]].counts.outcomes[kSolved];
    const std::int64_t fewest = records_[order[first]].steps;
    std::size_t end = first;
    for (; end < order.size() && records_[order[end]].counts.outcomes[kSolved] == solved; ++end) {
      const std::int64_t steps = records_[order[end]].steps;
      unbeaten[order[end]] = steps == fewest && !(fewestAbove && *fewestAbove <= steps);
    }
    fewestAbove = fewestAbove ? std::min(*fewestAbove, fewest) : fewest;
    first = end;
  }
  return unbeaten;
}

BatchTally SweepTally::TallyOf(std::size_t set, std::span<const LineCounts> fileCounts) const {
  const SetRecord& record = records_[set];
  BatchTally tally = shared_;
  tally.parameters_ = parameters(set);
  if (tally.parameters_.sequence.size() > BatchTally::kMaxStoredBytes) {
    tally.parameters_.sequence.resize(BatchTally::kMaxStoredBytes);
  }
  AddGraded(tally.totals_, record.counts);
  for (FileTally& file : tally.files_) {
    if (file.operand < fileCounts.size()) AddGraded(file.counts, fileCounts[file.operand]);
  }
  if (!tally.files_.empty()) {
    for (std::size_t operand = tally.files_.back().operand + 1; operand < fileCounts.size();
         ++operand) {
      AddGraded(tally.moreCounts_, fileCounts[operand]);
    }
  }
  record.attemptBins.CopyTo(tally.attempts_);
  record.stepBins.CopyTo(tally.steps_);
  record.depthBins.CopyTo(tally.depths_);
  tally.solutions_ = record.solutions;
  tally.hardestCount_ = record.hardest.size();
  for (std::size_t k = 0; k < record.hardest.size(); ++k) {
    const RowRef& ref = record.hardest[k];
    const StoredRow& row = store_[ref.slot()];
    HardPuzzle& puzzle = tally.hardest_[k];
    puzzle.source = row.source;
    puzzle.line = row.line;
    puzzle.puzzle = row.puzzle;
    puzzle.run = RunOf(ref);
    puzzle.solutions = row.solutions;
    puzzle.page = PageOf(row.pageStem, set);
    if (puzzle.page.size() > BatchTally::kMaxPageBytes) puzzle.page.clear();
  }
  tally.differing_.clear();
  for (const std::uint32_t slot : record.differing) {
    const StoredRow& row = store_[slot];
    DifferingPuzzle& puzzle = tally.differing_.emplace_back();
    puzzle.source = row.source;
    puzzle.line = row.line;
    puzzle.page = PageOf(row.pageStem, set);
    if (puzzle.page.size() > BatchTally::kMaxPageBytes) puzzle.page.clear();
  }
  tally.moreDiffering_ = record.moreDiffering;
  return tally;
}

}  // namespace tarvik::view
