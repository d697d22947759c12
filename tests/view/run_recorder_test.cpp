// SPDX-License-Identifier: MIT
#include "view/run_recorder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "run_events.h"
#include "view/run_page.h"

namespace tarvik::view {
namespace {

using testing::GridOf;
using testing::GuessedOnceAndSolved;
using testing::InputOf;
using testing::kThreeGivens;
using testing::Placed;
using testing::Repeated;
using testing::RunEvents;

// ---- Hand-made events ----

TEST(RunRecorderTest, OneAttemptKeepsItsStepsCellsAndCounts) {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  run.Step(LineKind::SINGLESTEP, 1, {{1, 3, 4}});
  run.Step(LineKind::ROWSTEP, 2, {{2, 2, 7}, {2, 3, 2}});
  run.Step(LineKind::COLUMNSTEP, 3, {{3, 1, 9}});
  run.EmptySteps(4, 2);
  run.Finish(LineKind::MAXSTEPS);

  const PageSummary& summary = run.recorder.summary();
  EXPECT_EQ(summary.run, (RunSummary{Outcome::kStepLimit, 1, 5, 0}));
  EXPECT_EQ(summary.finalGrid, run.grid());
  EXPECT_EQ(summary.empty, 74);

  const DrawnAttempt& attempt = run.recorder.last();
  EXPECT_EQ(attempt.summary.number, 1);
  EXPECT_EQ(attempt.summary.emptyAtStart, 78);
  EXPECT_EQ(attempt.summary.emptyAtEnd, 74);
  EXPECT_EQ(attempt.summary.ending, Ending::kStepLimit);
  ASSERT_EQ(attempt.steps.size(), 5u);
  EXPECT_EQ(attempt.steps[1].technique, Technique::kRows);
  EXPECT_EQ(attempt.steps[1].number, 2);
  EXPECT_EQ(attempt.steps[1].emptyAfter, 75);
  EXPECT_EQ(attempt.steps[1].firstFill, 1);
  EXPECT_EQ(attempt.steps[1].fillCount, 2);
  EXPECT_EQ(attempt.steps[2].technique, Technique::kColumns);
  EXPECT_EQ(attempt.steps[4].technique, Technique::kSingleValue);
  EXPECT_EQ(attempt.steps[4].fillCount, 0);
  EXPECT_EQ(attempt.fills, (std::vector<Cell>{{1, 3, 4}, {2, 2, 7}, {2, 3, 2}, {3, 1, 9}}));
  EXPECT_TRUE(run.recorder.summaries().empty());
  EXPECT_EQ(run.recorder.band().attempts, 0);
}

TEST(RunRecorderTest, ACountRightAfterTheFoundCountIsAStepsAnyOtherStartsAnAttempt) {
  RunEvents run(GridOf(kThreeGivens));
  run.Line(LineKind::MATRIXHEADER, {78});
  run.Line(LineKind::SINGLESTEP, {1});
  run.Line(LineKind::FOUNDCOUNT, {0});
  run.Line(LineKind::MATRIXHEADER, {77});
  run.Line(LineKind::NOPROGRESS);
  run.Line(LineKind::RESTARTING);
  run.Line(LineKind::GUESSAPPLIED, {1, 3, 4});
  run.Line(LineKind::MATRIXHEADER, {60});
  ASSERT_EQ(run.recorder.summaries().size(), 1u);
  EXPECT_EQ(run.recorder.summaries()[0].emptyAtStart, 78);
  EXPECT_EQ(run.recorder.summaries()[0].emptyAtEnd, 77);
  EXPECT_EQ(run.recorder.last().summary.emptyAtStart, 60);
  EXPECT_TRUE(run.recorder.last().steps.empty());
}

TEST(RunRecorderTest, AGuessEndsTheAttemptAndStartsTheNextWithIt) {
  const RunEvents run = GuessedOnceAndSolved();

  EXPECT_EQ(run.recorder.summary().run, (RunSummary{Outcome::kSolved, 2, 10, 1}));
  ASSERT_EQ(run.recorder.summaries().size(), 1u);
  const AttemptSummary& first = run.recorder.summaries()[0];
  EXPECT_EQ(first.ending, Ending::kGuessed);
  EXPECT_EQ(first.cell, (Cell{1, 3, 4}));
  EXPECT_EQ(first.secondValue, 8);
  const AttemptSummary& second = run.recorder.last().summary;
  EXPECT_EQ(second.number, 2);
  EXPECT_EQ(second.guessCount, 1);
  EXPECT_EQ(second.guesses[0], (Cell{1, 3, 4}));
  EXPECT_EQ(second.emptyAtStart, 77);
  EXPECT_EQ(second.ending, Ending::kSolved);
}

TEST(RunRecorderTest, AStallTellsAFullStackADeadCellAndNoTwoValueCellApart) {
  // Ten guesses in force and a two-value cell: nothing is pushed.
  {
    RunEvents run(GridOf(kThreeGivens));
    run.Begin();
    run.EmptySteps(1, 5);
    run.StallWithoutPair();
    std::vector<Placed> ten;
    for (int j = 1; j <= 9; ++j) ten.push_back({9, j, j});
    ten.push_back({8, 9, 1});
    run.Restart(ten);
    run.EmptySteps(1, 5);
    run.StallOnPair(4, 5, 2, 6);
    run.Finish(LineKind::NOMOREGUESSES);
    EXPECT_EQ(run.recorder.summary().run.depth, 10);
    EXPECT_EQ(run.recorder.last().summary.ending, Ending::kStackFull);
    EXPECT_EQ(run.recorder.last().summary.cell, (Cell{4, 5, 2}));
    EXPECT_EQ(run.recorder.summary().run.outcome, Outcome::kNoFurtherGuesses);
  }
  // (1,1) has no value left: row 1 holds 2 to 9, column 1 the 1. No report line names it; the
  // pair search tells the listener.
  {
    RunEvents run(
        GridOf("023456789 000000000 000000000 000000000 100000000 000000000 "
               "000000000 000000000 000000000"));
    run.Begin();
    run.EmptySteps(1, 5);
    run.StallOnDeadCell(1, 1);
    run.Finish(LineKind::NOSOLUTION);
    EXPECT_EQ(run.recorder.last().summary.ending, Ending::kDeadCell);
    EXPECT_EQ(run.recorder.last().summary.cell.row, 1);
    EXPECT_EQ(run.recorder.last().summary.cell.column, 1);
    EXPECT_EQ(run.recorder.summary().run.outcome, Outcome::kNoSolution);
  }
  // An empty grid: every cell has nine values.
  {
    RunEvents run(Grid{});
    run.Begin();
    run.EmptySteps(1, 5);
    run.StallWithoutPair();
    run.Finish(LineKind::NOMOREGUESSES);
    EXPECT_EQ(run.recorder.last().summary.ending, Ending::kNoTwoValueCell);
  }
}

TEST(RunRecorderTest, MoreThanFortyAttemptsKeepTheFirstAndLastTwentyAndABandOfTheOthers) {
  RunEvents run(GridOf(kThreeGivens));
  run.Begin();
  constexpr int kAttempts = 2047;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    // Attempt k fills k % 7 cells at step 1, so its counts are 78 - (k-1 ? 1 : 0) and so on.
    std::vector<Placed> fills;
    for (int j = 4; j < 4 + attempt % 7; ++j) fills.push_back({1, j, j});
    run.Step(LineKind::ROWSTEP, 1, fills);
    run.EmptySteps(2, attempt % 3 + 4);
    if (attempt == kAttempts) break;
    run.StallWithoutPair();
    run.Restart({{4, 4, 1 + attempt % 9}});
  }
  run.StallWithoutPair();
  run.Finish(LineKind::NOMOREGUESSES);

  const RunRecorder& recorder = run.recorder;
  EXPECT_EQ(recorder.summary().run.attempts, kAttempts);
  const std::vector<const DrawnAttempt*> full = recorder.FullAttempts();
  ASSERT_EQ(full.size(), 40u);
  for (std::size_t k = 0; k < 20; ++k) {
    EXPECT_EQ(full[k]->summary.number, static_cast<int>(k) + 1);
    EXPECT_EQ(full[20 + k]->summary.number, kAttempts - 19 + static_cast<int>(k));
  }
  EXPECT_EQ(full.back(), &recorder.last());
  // A kept attempt far from the start still has its own steps.
  EXPECT_EQ(full[25]->steps.size(), static_cast<std::size_t>(full[25]->summary.number % 3 + 5));
  EXPECT_EQ(full[25]->fills.size(), static_cast<std::size_t>(full[25]->summary.number % 7));

  ASSERT_EQ(recorder.summaries().size(), static_cast<std::size_t>(kAttempts - 1));
  EXPECT_EQ(recorder.summaries()[999].number, 1000);
  EXPECT_EQ(recorder.summaries()[999].steps, 1000 % 3 + 5);
  EXPECT_EQ(recorder.summaries()[999].guesses[0], (Cell{4, 4, 1 + 999 % 9}));

  // The first attempt starts with 78 empty cells, every other with 77 (its guess); after step 1
  // between 77 - 6 and 77 - 0 of them are left; the longest have 7 steps.
  const StepBand& band = recorder.band();
  EXPECT_EQ(band.attempts, kAttempts - 1);
  EXPECT_EQ(band.longest, 7);
  EXPECT_EQ(band.low[0], 77);
  EXPECT_EQ(band.high[0], 78);
  EXPECT_EQ(band.low[1], 71);
  EXPECT_EQ(band.high[1], 77);
  EXPECT_EQ(band.low[7], 71);
}

TEST(RunRecorderTest, MemoryStaysBoundedPastWhatARunCanHold) {
  RunEvents run(Grid{});
  run.Begin();
  for (int step = 1; step <= 150; ++step) {
    std::vector<Placed> fills;
    fills.reserve(3);
    for (int k = 0; k < 3; ++k) fills.push_back({step % 9 + 1, k + 1, 5});
    run.Step(LineKind::SINGLESTEP, step, fills);
  }
  for (int k = 0; k < 15; ++k) run.Line(LineKind::GUESSAPPLIED, {1, 1, 1});

  const DrawnAttempt& attempt = run.recorder.last();
  EXPECT_EQ(attempt.summary.steps, 150);
  EXPECT_EQ(run.recorder.summary().run.steps, 150);
  EXPECT_EQ(attempt.steps.size(), static_cast<std::size_t>(DrawnAttempt::kMaxSteps));
  EXPECT_EQ(attempt.fills.size(), static_cast<std::size_t>(DrawnAttempt::kMaxFills));
  EXPECT_EQ(attempt.fillsDropped, 100 * 3 - 81);
  EXPECT_EQ(attempt.summary.guessCount, 15);
  EXPECT_EQ(run.recorder.summary().run.depth, 15);

  for (int k = 0; k < 2100; ++k) run.Line(LineKind::RESTARTING);
  EXPECT_EQ(run.recorder.summary().run.attempts, 2101);
  EXPECT_EQ(run.recorder.summaries().size(), RunRecorder::kMaxSummaries);
  EXPECT_EQ(run.recorder.FullAttempts().size(), 40u);
}

// ---- Whole runs, numbers worked out by hand from the algorithm ----

struct WorkedRun {
  const char* name;
  const char* grid;
  std::vector<int> sequence;
  std::int32_t attempts;
  std::int64_t steps;
  std::int32_t depth;
  Outcome outcome;
  std::int32_t empty;
};

class WorkedRunTest : public ::testing::TestWithParam<WorkedRun> {};

TEST_P(WorkedRunTest, NumbersAreTheSameAtEveryPrintLevel) {
  const WorkedRun& worked = GetParam();
  for (const int printLevel : {0, 1, 2, 3}) {
    RunRecorder recorder;
    const RunSummary solved =
        RecordRun(InputOf(GridOf(worked.grid), printLevel, 4, worked.sequence), recorder);
    const RunSummary expected{worked.outcome, worked.attempts, worked.steps, worked.depth};
    EXPECT_EQ(solved, expected) << "print level " << printLevel;
    EXPECT_EQ(recorder.summary().run, expected) << "print level " << printLevel;
    EXPECT_EQ(recorder.summary().empty, worked.empty) << "print level " << printLevel;
  }
}

const std::vector<int> k4123 = Repeated({4, 1, 2, 3}, 100);
const std::vector<int> k123 = Repeated({1, 2, 3}, 100);

INSTANTIATE_TEST_SUITE_P(
    Runs, WorkedRunTest,
    ::testing::Values(
        // S(1,1) could be 1 or 7; 1 is right: 12 steps, then 19.
        WorkedRun{"OneGuess",
                  "043080250 600000000 000001094 900004070 000608000 010200003 820500000 "
                  "000000005 034090710",
                  k4123, 2, 31, 1, Outcome::kSolved, 0},
        // The first stall finds a dead cell before any two-value cell.
        WorkedRun{"DeadCellWithoutGuess",
                  "090300001 000080046 000000800 405060030 003275600 060010904 001000000 "
                  "580020000 200007060",
                  k4123, 1, 18, 0, Outcome::kNoSolution, 8},
        // The one guess dies on its first value and holds on its second.
        WorkedRun{"SecondValue",
                  "001007090 590080001 030000080 000005800 050060020 004100000 080000030 "
                  "100020079 020700400",
                  k4123, 3, 37, 1, Outcome::kSolved, 0},
        // Both values of the second guess die: it is dropped, the first is switched.
        WorkedRun{"DropsALevel",
                  "380000000 000400785 009020300 060090000 800302009 000040070 001070500 "
                  "495006000 000000092",
                  k4123, 5, 63, 2, Outcome::kSolved, 0},
        // The eleventh two-value cell meets a full stack; solved in attempt 16.
        WorkedRun{"FullStack",
                  "370600000 009000000 020080160 000005000 090010080 000400000 058060090 "
                  "000000300 000007042",
                  k123, 16, 191, 10, Outcome::kSolved, 0},
        // Valid puzzle; the second value stalls with no two-value cell and no dead cell.
        WorkedRun{"NoFurtherGuesses",
                  "600070009 010000020 005000400 000102000 900080006 000609000 001000200 "
                  "030000040 700050008",
                  k123, 3, 18, 1, Outcome::kNoFurtherGuesses, 56},
        // Every value of ten levels tried: 2^11 - 1 attempts.
        WorkedRun{"Heavy",
                  "000000000 003600000 005090000 000030006 000840000 287100000 500000000 "
                  "400020007 700000000",
                  k4123, 2047, 14784, 10, Outcome::kNoFurtherGuesses, 49}),
    [](const auto& worked) { return std::string(worked.param.name); });

TEST(WorkedRunEndingsTest, EachStallIsNamedAsTheAlgorithmTookIt) {
  {
    RunRecorder recorder;
    RecordRun(InputOf(GridOf("043080250 600000000 000001094 900004070 000608000 010200003 "
                             "820500000 000000005 034090710"),
                      0, 4, k4123),
              recorder);
    const AttemptSummary& first = recorder.summaries()[0];
    EXPECT_EQ(first.ending, Ending::kGuessed);
    EXPECT_EQ(first.cell, (Cell{1, 1, 1}));
    EXPECT_EQ(first.secondValue, 7);
    EXPECT_EQ(first.steps, 12);
    EXPECT_EQ(recorder.last().summary.steps, 19);
  }
  {
    RunRecorder recorder;
    RecordRun(InputOf(GridOf("370600000 009000000 020080160 000005000 090010080 000400000 "
                             "058060090 000000300 000007042"),
                      0, 4, k123),
              recorder);
    const AttemptSummary& eleventh = recorder.summaries()[10];
    EXPECT_EQ(eleventh.ending, Ending::kStackFull);
    EXPECT_EQ(eleventh.cell, (Cell{4, 8, 1}));
    EXPECT_EQ(eleventh.secondValue, 7);
    EXPECT_EQ(eleventh.guessCount, 10);
  }
  {
    RunRecorder recorder;
    RecordRun(InputOf(GridOf("600070009 010000020 005000400 000102000 900080006 000609000 "
                             "001000200 030000040 700050008"),
                      0, 4, k123),
              recorder);
    EXPECT_EQ(recorder.summaries()[0].ending, Ending::kGuessed);
    EXPECT_EQ(recorder.summaries()[1].ending, Ending::kDeadCell);
    EXPECT_EQ(recorder.last().summary.ending, Ending::kNoTwoValueCell);
  }
}

}  // namespace
}  // namespace tarvik::view
