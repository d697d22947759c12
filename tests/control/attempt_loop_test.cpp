// SPDX-License-Identifier: MIT
#include "control/attempt_loop.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::CapturedReport;
using testing::StateOf;

constexpr const char* kSolved =
    "534678912 672195348 198342567 859761423 426853791 713924856 961537284 287419635 "
    "345286179";
// kSolved with twelve cells emptied, each of which the single-value search fills in one pass.
constexpr const char* kTwelveGaps =
    "034678910 602195348 190342567 859061423 026803791 713920856 961537084 287419605 "
    "045286170";
constexpr const char* kExample =
    "530070000 600195000 098000060 800060003 400803001 700020006 060000280 000419005 "
    "000080079";
constexpr const char* kEmpty =
    "000000000 000000000 000000000 000000000 000000000 000000000 000000000 000000000 "
    "000000000";

PuzzleState Prepared(const char* grid, int printLevel, int steps, int code, int back = 4) {
  PuzzleState st = StateOf(grid, printLevel);
  st.NSTEPS = steps;
  st.NBACK = back;
  for (int k = 1; k <= steps; ++k) st.SEQ(k) = code;
  return st;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

TEST(AttemptLoopTest, FirstAttemptStartIsAlwaysReportedLaterOnesFromLevelTwo) {
  for (const int level : {-1, 0, 1}) {
    PuzzleState st = Prepared(kExample, level, 10, 4);
    CapturedReport out;
    StartAttempt(st, out.report);
    StartAttempt(st, out.report);
    const std::string text = out.Text();
    EXPECT_TRUE(text.starts_with("\nPuzzle Start    51 Unknowns\n  5  3  0  0  7  0  0  0  0\n"));
    EXPECT_EQ(Count(text, "Puzzle Start"), 1) << level;
    EXPECT_EQ(text.size(), 29u + 9u * 28u);
    EXPECT_EQ(st.NSTART, 1);
  }
  PuzzleState st = Prepared(kExample, 2, 10, 4);
  st.STEP = 7;
  CapturedReport out;
  StartAttempt(st, out.report);
  StartAttempt(st, out.report);
  const std::string text = out.Text();
  EXPECT_TRUE(
      text.starts_with("          Sudoku Matrix    51 unknowns\n\nPuzzle Start    51 Unknowns\n"));
  EXPECT_EQ(Count(text, "Sudoku Matrix    51 unknowns\n\nPuzzle Start    51 Unknowns\n"), 2);
  EXPECT_EQ(st.NSTART, 2);
  EXPECT_EQ(st.STEP, 0);
  EXPECT_EQ(st.UNKNOWNS(7), 0);  // the start count is not filed
}

TEST(AttemptLoopTest, CompleteGridIsReportedSolvedOnlyAfterStepFive) {
  PuzzleState st = Prepared(kSolved, 2, 20, 1);
  CapturedReport out;
  StartAttempt(st, out.report);
  EXPECT_EQ(RunSteps(st, out.report), AttemptOutcome::kSolved);
  EXPECT_EQ(st.STEP, 5);
  const std::string text = out.Text();
  EXPECT_EQ(Count(text, "  Search each row for positions for each value\n"), 5);
  EXPECT_TRUE(
      text.ends_with("\nStep  5  Search each row for positions for each value\n"
                     "          Found positions for 0 values\n"
                     "          Sudoku Matrix     0 unknowns\n"
                     "\nPuzzle Solved \n"));
}

TEST(AttemptLoopTest, GridCompletedEarlyStillRunsStepsToFive) {
  PuzzleState st = Prepared(kTwelveGaps, 0, 20, 4);
  CapturedReport out;
  StartAttempt(st, out.report);
  EXPECT_EQ(RunSteps(st, out.report), AttemptOutcome::kSolved);
  EXPECT_EQ(st.STEP, 5);
  EXPECT_EQ(st.UNKNOWNS(1), 0);
  // At print level 0 only the start grid stands before the outcome.
  EXPECT_TRUE(out.Text().ends_with("  0  4  5  2  8  6  1  7  0\n\nPuzzle Solved \n"));
}

TEST(AttemptLoopTest, SolvedAtTheLastStepIsSolvedNotOutOfSteps) {
  PuzzleState st = Prepared(kTwelveGaps, 0, 5, 4);
  CapturedReport out;
  StartAttempt(st, out.report);
  EXPECT_EQ(RunSteps(st, out.report), AttemptOutcome::kSolved);
}

TEST(AttemptLoopTest, StepLimitEndsTheAttemptEvenWhileItProgresses) {
  PuzzleState st = Prepared(kExample, 1, 5, 2);
  CapturedReport out;
  StartAttempt(st, out.report);
  EXPECT_EQ(RunSteps(st, out.report), AttemptOutcome::kStepLimit);
  ASSERT_GT(st.UNKNOWNS(4), st.UNKNOWNS(5));  // the last step still made progress
  ASSERT_GT(st.UNKNOWNS(5), 0);
  EXPECT_TRUE(out.Text().ends_with("\nPuzzle not solved in maximum number of steps\n"));
}

TEST(AttemptLoopTest, ProgressIsMeasuredOverTheLookBackDistance) {
  PuzzleState st;
  // Counts after steps 1 to 8.
  const int counts[] = {60, 50, 40, 40, 40, 40, 40, 40};
  for (int k = 1; k <= 8; ++k) st.UNKNOWNS(k) = counts[k - 1];
  const auto stoppedAt = [&](int step, int back) {
    st.STEP = step;
    st.NBACK = back;
    return ProgressStopped(st);
  };
  // Look-back 4: steps 5, 6, 7 compare with steps 1, 2, 3.
  EXPECT_FALSE(stoppedAt(5, 4));
  EXPECT_FALSE(stoppedAt(6, 4));
  EXPECT_TRUE(stoppedAt(7, 4));
  // Look-back 1 compares with the step before.
  EXPECT_TRUE(stoppedAt(5, 1));
  EXPECT_FALSE(stoppedAt(3, 1));
  // A look-back longer than the attempt compares with step 1.
  EXPECT_FALSE(stoppedAt(8, 7));
  EXPECT_FALSE(stoppedAt(8, 2147483647));
  st.UNKNOWNS(1) = 40;
  EXPECT_TRUE(stoppedAt(8, 100));
}

TEST(AttemptLoopTest, StallLeavesTheHistoryOfLongerAttemptsInPlace) {
  // Nothing can be deduced on an empty grid: the attempt stalls at step 5.
  PuzzleState st = Prepared(kEmpty, 2, 40, 4);
  for (int k = 8; k <= 12; ++k) st.UNKNOWNS(k) = 99;
  CapturedReport out;
  StartAttempt(st, out.report);
  EXPECT_EQ(RunSteps(st, out.report), AttemptOutcome::kStalled);
  EXPECT_EQ(st.STEP, 5);
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(st.UNKNOWNS(k), 81);
  EXPECT_EQ(st.UNKNOWNS(6), 0);
  for (int k = 8; k <= 12; ++k) EXPECT_EQ(st.UNKNOWNS(k), 99);
  EXPECT_TRUE(out.Text().ends_with(
      "          Sudoku Matrix    81 unknowns\n"
      "\nPuzzle not solved  -  not getting any further improvement with each step.\n\n"));

  PuzzleState quiet = Prepared(kEmpty, 1, 40, 4);
  CapturedReport silent;
  RunSteps(quiet, silent.report);
  EXPECT_EQ(silent.Text(), "");
}

TEST(AttemptLoopTest, StepEndsWithCountAndGridAtLevelThree) {
  PuzzleState st = Prepared(kTwelveGaps, 3, 20, 4);
  st.STEP = 1;
  CapturedReport out;
  RunStep(st, out.report);
  const std::string text = out.Text();
  EXPECT_TRUE(
      text.starts_with("\nStep  1  Search each position to see if a single value can be assigned.\n"
                       "           S(1,1) =  5\n"));
  EXPECT_NE(text.find("          Found positions for * values\n"
                      "          Sudoku Matrix     0 unknowns\n"
                      "  5  3  4  6  7  8  9  1  2\n"),
            std::string::npos);
  EXPECT_TRUE(text.ends_with("  3  4  5  2  8  6  1  7  9\n"));
  EXPECT_EQ(st.UNKNOWNS(1), 0);
  EXPECT_EQ(st.I, 10);
  EXPECT_EQ(st.J, 10);
}

}  // namespace
}  // namespace tarvik
