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
#include "view/batch_tally.h"

namespace tarvik::view {

// What ranks a parameter set of a sweep: most solved, then fewest steps over all its puzzles'
// attempts, then the lower number.
struct SetScore {
  std::int64_t solved = 0;
  std::int64_t steps = 0;
  std::size_t set = 0;  // from 0
};
bool RanksBefore(const SetScore& a, const SetScore& b);

// One set's result for a line.
struct SetRun {
  RunSummary run;
  std::optional<AnswerCheck> answer;
};

// A puzzle that no set solves.
struct UnsolvedPuzzle {
  std::string source;
  std::int64_t line = 0;
  std::string pageStem;  // NAME-LINE, whose set K's page is NAME-LINE-K.html; empty: none
};

// What the overview of a sweep shows: each set's counts and totals, how many sets solve each
// puzzle, the first puzzles that none solves, and all that a BatchTally of any one set would
// hold, so that the best set, known only at the end, gets the usual sections. A set keeps a
// compact record (its bins up to the highest in use, its hardest puzzles as references); the
// details of the rows that some set's lists still refer to are kept once, for all sets. Fed from
// one thread, in input order, as a BatchTally is.
class SweepTally {
 public:
  static constexpr std::size_t kMaxUnsolved = 50;
  static constexpr std::size_t kShownSets = 200;  // rows of the overview's table of sets

  // Counts per [bin][outcome], up to the highest bin in use, in 32 bits until one needs more.
  class Bins {
   public:
    void Add(std::size_t bin, Outcome outcome);
    // The bins up to the highest in use, and the count of one, all outcomes together.
    std::size_t size() const;
    std::int64_t At(std::size_t bin) const;
    template <std::size_t kBinCount>
    void CopyTo(OutcomeBins<kBinCount>& to) const;

   private:
    std::int64_t Count(std::size_t at) const {
      return wide_.empty() ? std::int64_t{narrow_[at]} : wide_[at];
    }
    std::vector<std::uint32_t> narrow_;
    std::vector<std::int64_t> wide_;
  };

  // A row that a set's list refers to, in 16 bytes: its place in the shared store and the set's
  // outcome and guess depth in one word, its attempts, its steps. An attempt count of 2^32 or more,
  // or a depth outside 0 to kWideRun - 1, is kept in the sweep's side table instead, the depth
  // then kWideRun and the attempts the entry's index.
  struct RowRef {
    static constexpr std::uint32_t kWideRun = 127;
    std::uint32_t word = 0;  // slot << 9 | depth << 2 | outcome
    std::uint32_t attempts = 0;
    std::int64_t steps = 0;

    std::uint32_t slot() const { return word >> 9; }
    std::uint32_t depth() const { return word >> 2 & kWideRun; }
    Outcome outcome() const { return static_cast<Outcome>(word & 3); }
  };
  static_assert(sizeof(RowRef) == 16);
  // The slots that fit a RowRef; a set refers to at most kHardest + kMaxDiffering rows at once.
  static constexpr std::size_t kMaxSlots = std::size_t{1} << 23;
  static constexpr std::size_t kMaxSets =
      (kMaxSlots - 1) / (BatchTally::kHardest + BatchTally::kMaxDiffering);

  struct SetRecord {
    LineCounts counts;  // of its graded puzzles alone
    std::int64_t steps = 0;
    std::int64_t attempts = 0;
    std::int32_t deepest = 0;
    Bins attemptBins;
    Bins stepBins;
    Bins depthBins;
    std::array<std::array<std::int64_t, 3>, kOutcomes> solutions{};
    std::vector<RowRef> hardest;           // most steps first, as BatchTally keeps them
    std::vector<std::uint32_t> differing;  // slots
    std::int64_t moreDiffering = 0;
  };

  // The sets of `lists` over `base`'s other parameters; at most kMaxSets of them.
  SweepTally(ParameterLists lists, const RunParameters& base);

  // A graded line: its place, digits, solutions when counted, the stem of its pages (empty:
  // none), and each set's result in set order.
  void AddLine(const RowPlace& place, std::string_view puzzle, std::optional<int> solutions,
               std::string_view pageStem, std::span<const SetRun> runs);
  void AddRefused(const RowPlace& place, std::string_view message);
  void FileNotRead(std::size_t operand, std::string_view source, std::string_view reason);
  void FileDone(std::size_t operand, std::string_view source, std::int64_t linesRead);

  std::size_t sets() const { return records_.size(); }
  RunParameters parameters(std::size_t set) const { return lists_.Set(set, base_); }
  // Set `set` as LOOKBACK/STEPS/SEQUENCE.
  std::string Label(std::size_t set) const { return lists_.Label(set); }
  const SetRecord& record(std::size_t set) const { return records_[set]; }
  // The lines read and refused of the batch, and its puzzles.
  const LineCounts& totals() const { return shared_.totals(); }
  std::int64_t puzzles() const { return puzzles_; }
  std::int64_t files() const;
  std::int64_t filesNotRead() const { return shared_.filesNotRead(); }

  // The sets, best first.
  std::vector<std::size_t> BestOrder() const;
  // For each set, whether no other set beats it on both solved and steps.
  std::vector<bool> Unbeaten() const;
  // Puzzles by how many sets solve them: [0] to [sets()].
  std::span<const std::int64_t> solvedBy() const { return solvedBy_; }
  std::span<const UnsolvedPuzzle> unsolved() const { return unsolved_; }
  std::int64_t moreUnsolved() const { return moreUnsolved_; }

  // The tally of set `set` alone, as a BatchTally fed only its rows would hold it, its pages
  // named NAME-LINE-K.html. `fileCounts` are the set's counts of each FILE, by operand.
  BatchTally TallyOf(std::size_t set, std::span<const LineCounts> fileCounts) const;

 private:
  // The details of a row that some set refers to.
  struct StoredRow {
    std::string source;
    std::int64_t line = 0;
    std::array<char, 81> puzzle{};
    std::optional<int> solutions;
    std::string pageStem;
    std::uint32_t references = 0;
  };

  // A run that a RowRef cannot hold.
  struct WideRun {
    std::int64_t attempts = 0;
    std::int32_t depth = 0;
  };

  // The slot of the line under way, stored when first referred to.
  std::uint32_t Refer();
  void Release(std::uint32_t slot);
  void KeepIfHard(SetRecord& record, const SetRun& run);
  // A reference to the line under way and `run`, and the run it holds.
  RowRef Pack(const RunSummary& run);
  RunSummary RunOf(const RowRef& ref) const;
  // Releases the reference's slot and side entry.
  void Drop(const RowRef& ref);

  ParameterLists lists_;
  RunParameters base_;
  std::vector<SetRecord> records_;
  BatchTally shared_;  // the FILEs, lines read and refused lines, common to every set
  std::int64_t puzzles_ = 0;
  std::vector<std::int64_t> solvedBy_;
  std::vector<UnsolvedPuzzle> unsolved_;
  std::int64_t moreUnsolved_ = 0;

  std::vector<StoredRow> store_;
  std::vector<std::uint32_t> freeSlots_;
  std::vector<WideRun> wideRuns_;
  std::vector<std::uint32_t> freeWideRuns_;
  // The line under way.
  RowPlace place_;
  std::string_view puzzle_;
  std::optional<int> solutions_;
  std::string_view pageStem_;
  std::optional<std::uint32_t> slot_;
};

}  // namespace tarvik::view
