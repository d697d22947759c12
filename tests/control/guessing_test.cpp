// SPDX-License-Identifier: MIT
#include "control/guessing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::CapturedReport;
using testing::StateOf;

// Row 1 is complete; the first empty cell that is dead or has two candidates is (2,5), with 3
// and 8 (box 2 holds 5, 6, 7; column 5 holds 6, 4, 1, 9, 2; row 2 holds nothing before it).
constexpr const char* kPairAt25 =
    "123567489 000000000 000000000 000040000 000010000 000090000 000000000 000020000 "
    "000000000";
// (1,1) is dead: row 1 holds 2 to 9 and column 1 holds the 1.
constexpr const char* kDeadAt11 =
    "023456789 000000000 000000000 000000000 100000000 000000000 000000000 000000000 "
    "000000000";

TEST(SearchForPairTest, StopsAtTheFirstTwoValueCell) {
  PuzzleState st = StateOf(kPairAt25);
  SEARCHFORPAIR(st);
  EXPECT_EQ(st.I, 2);
  EXPECT_EQ(st.J, 5);
  EXPECT_EQ(st.NCAND, 2);
  EXPECT_EQ(st.CAND1, 3);
  EXPECT_EQ(st.CAND2, 8);
}

TEST(SearchForPairTest, StopsAtADeadCell) {
  PuzzleState st = StateOf(kDeadAt11);
  SEARCHFORPAIR(st);
  EXPECT_EQ(st.I, 1);
  EXPECT_EQ(st.J, 1);
  EXPECT_EQ(st.NCAND, 0);
}

TEST(SearchForPairTest, DeadCellLaterThanATwoValueCellIsNotSeen) {
  // (1,1) has 1 and 2; (9,9) is dead, since row 9 lacks only the 9 that column 9 holds.
  PuzzleState st = StateOf(
      "003456789 000000000 000000000 000000000 000000000 000000000 000000000 000000000 "
      "345678120");
  SEARCHFORPAIR(st);
  EXPECT_EQ(st.I, 1);
  EXPECT_EQ(st.J, 1);
  EXPECT_EQ(st.NCAND, 2);
  EXPECT_EQ(st.CAND1, 1);
  EXPECT_EQ(st.CAND2, 2);
}

TEST(SearchForPairTest, ScanWithoutDeadOrTwoValueCellEndsPastTheGrid) {
  // With the top three rows empty, every empty cell has the three values of its column's top.
  PuzzleState st = StateOf(
      "000000000 000000000 000000000 859761423 426853791 713924856 961537284 287419635 "
      "345286179");
  SEARCHFORPAIR(st);
  EXPECT_EQ(st.I, 10);
  EXPECT_EQ(st.J, 10);
  EXPECT_EQ(st.NCAND, 3);

  PuzzleState single = StateOf(
      "034678912 672195348 198342567 859761423 426853791 713924856 961537284 287419635 "
      "345286179");
  SEARCHFORPAIR(single);
  EXPECT_EQ(single.I, 10);
  EXPECT_EQ(single.NCAND, 1);

  PuzzleState empty;
  SEARCHFORPAIR(empty);
  EXPECT_EQ(empty.I, 10);
  EXPECT_EQ(empty.NCAND, 9);
}

TEST(GuessTest, TwoValueCellIsPushedWithItsSmallerValueAndTheWorkRestarts) {
  PuzzleState st = StateOf(kPairAt25, 2);
  st.S(9, 9) = 5;  // filled by the stalled attempt; lost at the restart
  CapturedReport out;
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kRestart);
  EXPECT_EQ(out.Text(),
            "          S(2,5) could be 3 or 8\n\n"
            "\nRestarting with guesses:\n"
            "     S(2,5) = 3\n");
  EXPECT_EQ(st.LEVEL, 1);
  EXPECT_EQ(st.GROW(1), 2);
  EXPECT_EQ(st.GCOL(1), 5);
  EXPECT_EQ(st.GVAL1(1), 3);
  EXPECT_EQ(st.GVAL2(1), 8);
  EXPECT_EQ(st.GFIRST(1), 1);
  EXPECT_EQ(st.S(2, 5), 3);
  EXPECT_EQ(st.S(9, 9), 0);
}

TEST(GuessTest, PrintLevelOneShowsRestartsButNotPairs) {
  PuzzleState st = StateOf(kPairAt25, 1);
  CapturedReport out;
  GuessAfterStall(st, out.report);
  EXPECT_EQ(out.Text(), "\nRestarting with guesses:\n     S(2,5) = 3\n");

  PuzzleState silent = StateOf(kPairAt25, 0);
  CapturedReport none;
  GuessAfterStall(silent, none.report);
  EXPECT_EQ(none.Text(), "");
  EXPECT_EQ(silent.LEVEL, 1);
}

// A state whose stack holds (2,5) with 3 and 8 at level 1, stalled on a dead cell.
PuzzleState DeadWithOneGuess(int first) {
  PuzzleState st = StateOf(kDeadAt11, 1);
  st.LEVEL = 1;
  st.GROW(1) = 2;
  st.GCOL(1) = 5;
  st.GVAL1(1) = 3;
  st.GVAL2(1) = 8;
  st.GFIRST(1) = first;
  return st;
}

TEST(GuessTest, DeadCellSwitchesTheGuessToItsSecondValueThenGivesUp) {
  PuzzleState st = DeadWithOneGuess(1);
  CapturedReport out;
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kRestart);
  EXPECT_EQ(st.GFIRST(1), 0);
  EXPECT_EQ(st.S(2, 5), 8);
  // The restart set I and J to the guessed cell; the dead cell is still in the start grid.
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kGiveUp);
  EXPECT_EQ(st.LEVEL, 0);
  EXPECT_EQ(out.Text(),
            "\nRestarting with guesses:\n     S(2,5) = 8\n"
            "\n No guesses possible.   Error in puzzle definition.   No solution\n");
}

TEST(GuessTest, BacktrackDropsExhaustedLevelsAndSwitchesTheNextOne) {
  PuzzleState st = StateOf(kDeadAt11, 1);
  st.LEVEL = 3;
  const int rows[] = {2, 3, 4}, columns[] = {5, 6, 7}, firsts[] = {0, 1, 0};
  for (int k = 1; k <= 3; ++k) {
    st.GROW(k) = rows[k - 1];
    st.GCOL(k) = columns[k - 1];
    st.GVAL1(k) = k;
    st.GVAL2(k) = k + 5;
    st.GFIRST(k) = firsts[k - 1];
  }
  CapturedReport out;
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kRestart);
  EXPECT_EQ(st.LEVEL, 2);
  EXPECT_EQ(st.GFIRST(2), 0);
  EXPECT_EQ(out.Text(), "\nRestarting with guesses:\n     S(2,5) = 6\n     S(3,6) = 7\n");
  EXPECT_EQ(st.S(4, 7), 0);
}

TEST(GuessTest, FullStackRefusesThePushAndBacktracks) {
  PuzzleState st = StateOf(kPairAt25, 2);
  st.LEVEL = PuzzleState::kMaxLevel;
  for (int k = 1; k <= st.LEVEL; ++k) {
    st.GROW(k) = 9;
    st.GCOL(k) = k <= 9 ? k : 9;
    st.GVAL1(k) = 1;
    st.GVAL2(k) = 2;
    st.GFIRST(k) = 1;
  }
  st.GROW(10) = 8;
  st.GCOL(10) = 1;
  CapturedReport out;
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kRestart);
  EXPECT_EQ(st.LEVEL, 10);
  EXPECT_EQ(st.GFIRST(10), 0);
  EXPECT_EQ(st.unproven, 1);
  const std::string text = out.Text();
  EXPECT_TRUE(text.starts_with("          S(2,5) could be 3 or 8\n\n\nRestarting with guesses:\n"));
  EXPECT_TRUE(text.ends_with("     S(9,9) = 1\n     S(8,1) = 2\n"));
}

TEST(GuessTest, RunningOutWithoutAContradictionIsNotCalledNoSolution) {
  // An empty grid has neither a dead cell nor a two-value cell.
  PuzzleState st = StateOf(std::string(81, '0'), 0);
  CapturedReport out;
  EXPECT_EQ(GuessAfterStall(st, out.report), GuessOutcome::kGiveUp);
  EXPECT_EQ(out.Text(), "\nPuzzle not solved  -  no further guesses possible\n");

  // Once unproven, the run stays unproven even if its last backtrack met a dead cell.
  PuzzleState dead = DeadWithOneGuess(0);
  dead.unproven = 1;
  CapturedReport later;
  EXPECT_EQ(GuessAfterStall(dead, later.report), GuessOutcome::kGiveUp);
  EXPECT_EQ(later.Text(), "\nPuzzle not solved  -  no further guesses possible\n");
}

// Keeps what the pair search was found to hold.
struct KeptSearches final : LineListener {
  std::vector<PairSearchResult> found;
  void OnLine(LineKind /*kind*/, std::span<const std::int32_t> /*values*/) override {}
  void OnPairSearch(const PairSearchResult& result) override { found.push_back(result); }
};

TEST(GuessTest, TheListenerIsToldWhatThePairSearchFoundAtEveryPrintLevel) {
  using Found = PairSearchResult::Found;
  const struct {
    std::string grid;
    Found found;
    int row, column, first, second;
  } kCases[] = {
      {kPairAt25, Found::kTwoValueCell, 2, 5, 3, 8},
      {kDeadAt11, Found::kDeadCell, 1, 1, 0, 0},
      {std::string(81, '0'), Found::kNeither, 0, 0, 0, 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.grid);
    PuzzleState st = StateOf(c.grid, 0);
    KeptSearches kept;
    Report report(kept);
    GuessAfterStall(st, report);
    ASSERT_EQ(kept.found.size(), 1u);
    const PairSearchResult& result = kept.found[0];
    EXPECT_EQ(result.found, c.found);
    EXPECT_EQ(result.row, c.row);
    EXPECT_EQ(result.column, c.column);
    EXPECT_EQ(result.first, c.first);
    EXPECT_EQ(result.second, c.second);
  }
}

}  // namespace
}  // namespace tarvik
