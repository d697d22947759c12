// SPDX-License-Identifier: MIT
#include "view/batch_tally.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "page_text.h"

namespace tarvik::view {
namespace {

using testing::kDiagonalPuzzle;

GradedRow Graded(std::size_t operand, std::string_view source, std::int64_t line, Outcome outcome,
                 std::int64_t attempts, std::int64_t steps, std::int32_t depth) {
  GradedRow row;
  row.place = {operand, source, line};
  row.puzzle = kDiagonalPuzzle;
  row.run = {outcome, attempts, steps, depth};
  return row;
}

TEST(BatchTallyTest, BinsAreZeroOneTwoThenPowersOfTwo) {
  struct Case {
    std::int64_t count;
    std::size_t bin;
  };
  for (const Case& c : {Case{0, 0},
                        {1, 1},
                        {2, 2},
                        {3, 3},
                        {4, 3},
                        {5, 4},
                        {8, 4},
                        {9, 5},
                        {16, 5},
                        {17, 6},
                        {1024, 11},
                        {1025, 12},
                        {INT64_MAX, 64}}) {
    EXPECT_EQ(BatchTally::BinOf(c.count), c.bin) << c.count;
  }
  // Each bin runs from its low to its high count, and the next starts just after it.
  for (std::size_t bin = 0; bin < BatchTally::kCountBins; ++bin) {
    EXPECT_EQ(BatchTally::BinOf(BatchTally::BinLow(bin)), bin);
    EXPECT_EQ(BatchTally::BinOf(BatchTally::BinHigh(bin)), bin);
    if (bin + 1 < BatchTally::kCountBins) {
      EXPECT_EQ(BatchTally::BinLow(bin + 1), BatchTally::BinHigh(bin) + 1) << bin;
    }
  }
}

TEST(BatchTallyTest, CountsEachFileAndAllOfThem) {
  BatchTally tally({});
  tally.AddGraded(Graded(0, "a.txt", 2, Outcome::kSolved, 1, 7, 0));
  tally.AddRefused({0, "a.txt", 3}, "a cell is 'x'");
  tally.AddGraded(Graded(0, "a.txt", 5, Outcome::kStepLimit, 3, 40, 2));
  tally.FileDone(0, "a.txt", 6);
  tally.FileNotRead(1, "gone.txt", "No such file or directory");
  tally.AddGraded(Graded(2, "b.txt", 1, Outcome::kNoFurtherGuesses, 12, 300, 14));
  tally.FileNotRead(2, "b.txt", "Input/output error");

  ASSERT_EQ(tally.files().size(), 3u);
  const FileTally& a = tally.files()[0];
  EXPECT_EQ(a.source, "a.txt");
  EXPECT_EQ(a.counts.linesRead, 6);
  EXPECT_EQ(a.counts.puzzles, 2);
  EXPECT_EQ(a.counts.refused, 1);
  EXPECT_EQ(a.counts.outcomes, (std::array<std::int64_t, 4>{1, 1, 0, 0}));
  EXPECT_FALSE(a.notRead);
  EXPECT_EQ(tally.files()[1].source, "gone.txt");
  EXPECT_EQ(tally.files()[1].notRead, "No such file or directory");
  EXPECT_EQ(tally.files()[1].counts.puzzles, 0);
  // A FILE whose reading failed keeps the rows read before.
  EXPECT_EQ(tally.files()[2].counts.puzzles, 1);
  EXPECT_EQ(tally.files()[2].notRead, "Input/output error");
  EXPECT_EQ(tally.filesNotRead(), 2);

  EXPECT_EQ(tally.totals().linesRead, 6);
  EXPECT_EQ(tally.totals().puzzles, 3);
  EXPECT_EQ(tally.totals().refused, 1);
  EXPECT_EQ(tally.totals().outcomes, (std::array<std::int64_t, 4>{1, 1, 0, 1}));
  // Attempts 1, 3, 12 in bins 1, 3 (3-4), 5 (9-16); steps 7, 40, 300 in 4 (5-8), 7 (33-64),
  // 10 (257-512); depth 14 counts as 10.
  EXPECT_EQ(tally.attempts()[0][1], 1);
  EXPECT_EQ(tally.attempts()[1][3], 1);
  EXPECT_EQ(tally.attempts()[3][5], 1);
  EXPECT_EQ(tally.steps()[0][4], 1);
  EXPECT_EQ(tally.steps()[1][7], 1);
  EXPECT_EQ(tally.steps()[3][10], 1);
  EXPECT_EQ(tally.depths()[1][2], 1);
  EXPECT_EQ(tally.depths()[3][10], 1);
}

TEST(BatchTallyTest, SolutionsByOutcome) {
  BatchTally tally({.lookBack = 4, .steps = 40, .sequence = "4123", .solutions = true});
  const struct {
    Outcome outcome;
    std::optional<int> solutions;
  } rows[] = {{Outcome::kSolved, 1},     {Outcome::kSolved, 2},    {Outcome::kSolved, 2},
              {Outcome::kNoSolution, 0}, {Outcome::kStepLimit, 1}, {Outcome::kSolved, {}}};
  std::int64_t line = 0;
  for (const auto& row : rows) {
    GradedRow graded = Graded(0, "a.txt", ++line, row.outcome, 1, 5, 0);
    graded.solutions = row.solutions;
    tally.AddGraded(graded);
  }
  const OutcomeBins<3> expected = {{{0, 1, 2}, {0, 1, 0}, {1, 0, 0}, {0, 0, 0}}};
  EXPECT_EQ(tally.solutions(), expected);
}

// The lines of the hardest puzzles kept, in order.
std::vector<std::int64_t> HardestLines(const BatchTally& tally) {
  std::vector<std::int64_t> lines;
  for (const HardPuzzle& puzzle : tally.hardest()) lines.push_back(puzzle.line);
  return lines;
}

TEST(BatchTallyTest, HardestByStepsTiesInInputOrder) {
  BatchTally small({});
  std::int64_t line = 0;
  for (const std::int64_t steps : {5, 7, 5, 7, 9}) {
    small.AddGraded(Graded(0, "a.txt", ++line, Outcome::kSolved, 1, steps, 0));
  }
  EXPECT_EQ(HardestLines(small), (std::vector<std::int64_t>{5, 2, 4, 1, 3}));

  // 300 puzzles with many equal steps: the first 50 of a stable sort, most steps first.
  BatchTally tally({});
  std::vector<std::pair<std::int64_t, std::int64_t>> all;  // steps, line
  for (std::int64_t k = 1; k <= 300; ++k) {
    const std::int64_t steps = (k * 37) % 13;
    all.emplace_back(steps, k);
    tally.AddGraded(
        Graded(k <= 150 ? 0 : 1, k <= 150 ? "a.txt" : "b.txt", k, Outcome::kSolved, 1, steps, 0));
  }
  std::stable_sort(all.begin(), all.end(), [](auto x, auto y) { return x.first > y.first; });
  std::vector<std::int64_t> expected;
  for (std::size_t k = 0; k < BatchTally::kHardest; ++k) expected.push_back(all[k].second);
  EXPECT_EQ(HardestLines(tally), expected);
}

TEST(BatchTallyTest, KeepsTheFirstHundredFilesAndCountsTheRest) {
  BatchTally tally({});
  for (std::size_t k = 0; k < 101; ++k) {
    std::string name(1, 'f');
    name.append(std::to_string(k)).append(".txt");
    tally.AddGraded(
        Graded(k, name, 1, k == 100 ? Outcome::kNoSolution : Outcome::kSolved, 1, 5, 0));
    tally.FileDone(k, name, 3);
  }
  ASSERT_EQ(tally.files().size(), 100u);
  EXPECT_EQ(tally.files().back().source, "f99.txt");
  EXPECT_EQ(tally.files().back().counts.linesRead, 3);
  EXPECT_EQ(tally.moreFiles(), 1);
  EXPECT_EQ(tally.moreCounts().linesRead, 3);
  EXPECT_EQ(tally.moreCounts().outcomes, (std::array<std::int64_t, 4>{0, 0, 1, 0}));
  EXPECT_EQ(tally.totals().linesRead, 303);
  EXPECT_EQ(tally.totals().puzzles, 101);
}

TEST(BatchTallyTest, KeepsTheFirstFiftyRefusedLinesAndCountsTheRest) {
  BatchTally tally({});
  for (std::int64_t line = 1; line <= 51; ++line) {
    tally.AddRefused({0, "a.txt", line}, "refused " + std::to_string(line));
  }
  ASSERT_EQ(tally.refusals().size(), 50u);
  EXPECT_EQ(tally.refusals().front().line, 1);
  EXPECT_EQ(tally.refusals().back().line, 50);
  EXPECT_EQ(tally.refusals().back().message, "refused 50");
  EXPECT_EQ(tally.moreRefused(), 1);
  EXPECT_EQ(tally.totals().refused, 51);
}

TEST(BatchTallyTest, OutsideTextIsKeptUpToItsBound) {
  BatchTally tally(
      {.lookBack = 4, .steps = 40, .sequence = std::string(5000, '4'), .solutions = false});
  const std::string longName(5000, 'n');
  GradedRow row = Graded(0, longName, 1, Outcome::kSolved, 1, 5, 0);
  const std::string longPage(BatchTally::kMaxPageBytes + 1, 'p');
  row.page = longPage;
  row.puzzle = "12<&";  // short and not digits: kept as digits and dots
  tally.AddGraded(row);
  tally.AddRefused({0, longName, 2}, std::string(5000, 'm'));
  tally.FileNotRead(0, longName, std::string(5000, 'r'));
  EXPECT_EQ(tally.parameters().sequence.size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.files()[0].source.size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.files()[0].notRead->size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.refusals()[0].source.size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.refusals()[0].message.size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.hardest()[0].source.size(), BatchTally::kMaxStoredBytes);
  EXPECT_EQ(tally.hardest()[0].page, "");  // too long to link, so not linked
  EXPECT_EQ(std::string_view(tally.hardest()[0].puzzle.data(), 6), "12..00");
}

}  // namespace
}  // namespace tarvik::view
