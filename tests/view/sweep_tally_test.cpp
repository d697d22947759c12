// SPDX-License-Identifier: MIT
#include "view/sweep_tally.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "view/overview_page.h"

namespace tarvik::view {
namespace {

const std::string kPuzzle(81, '0');

// `count` sets, 4/10/4123, 4/11/4123, ...
ParameterLists ListsOf(std::size_t count) {
  ParameterLists lists;
  lists.steps.clear();
  for (std::size_t k = 0; k < count; ++k) lists.steps.push_back(static_cast<std::int32_t>(10 + k));
  return lists;
}

// A sweep whose lines give each set `runs[line][set]`, all from one FILE, a.txt.
SweepTally SweepOf(std::size_t sets, const std::vector<std::vector<RunSummary>>& runs) {
  SweepTally sweep(ListsOf(sets), {});
  std::int64_t line = 0;
  std::vector<SetRun> results;
  for (const std::vector<RunSummary>& row : runs) {
    results.clear();
    for (const RunSummary& run : row) results.push_back({run, std::nullopt});
    ++line;
    sweep.AddLine({0, "a.txt", line}, kPuzzle, std::nullopt, "a-" + std::to_string(line), results);
  }
  sweep.FileDone(0, "a.txt", line);
  return sweep;
}

RunSummary Solved(std::int64_t steps) { return {Outcome::kSolved, 1, steps, 0}; }
RunSummary Stopped(std::int64_t steps) { return {Outcome::kStepLimit, 1, steps, 0}; }

// Most solved first, then fewest steps, then the lower number; a set is unbeaten unless another
// has at least as many solved and at most as many steps, one of them strictly.
TEST(SweepTallyTest, BestOrderAndUnbeatenSets) {
  struct Case {
    const char* name;
    std::vector<std::vector<RunSummary>> runs;  // [line][set]
    std::vector<std::size_t> order;
    std::vector<bool> unbeaten;
  };
  const Case cases[] = {
      {"more solved beats fewer steps",
       {{Solved(50), Solved(40), Solved(20), Stopped(40)},
        {Solved(50), Solved(40), Stopped(30), Solved(40)}},
       {1, 0, 2, 3},
       {false, true, true, false}},
      {"equal on both: the lower number first, neither beaten",
       {{Solved(30), Solved(30), Stopped(30)}},
       {0, 1, 2},
       {true, true, false}},
      {"equal solved: fewer steps first, the other beaten",
       {{Stopped(9), Solved(31), Solved(30)}},
       {2, 1, 0},
       {true, false, true}},
      {"fewer solved with equal steps is beaten",
       {{Solved(30), Stopped(30)}, {Solved(30), Solved(30)}},
       {0, 1},
       {true, false}},
      {"every set alike",
       {{Stopped(5), Stopped(5), Stopped(5), Stopped(5)}},
       {0, 1, 2, 3},
       {true, true, true, true}},
  };
  for (const Case& c : cases) {
    const SweepTally sweep = SweepOf(c.unbeaten.size(), c.runs);
    EXPECT_EQ(sweep.BestOrder(), c.order) << c.name;
    EXPECT_EQ(sweep.Unbeaten(), c.unbeaten) << c.name;
  }
  // The summary's order is the same function's.
  EXPECT_TRUE(RanksBefore({3, 100, 5}, {2, 1, 0}));
  EXPECT_TRUE(RanksBefore({3, 99, 5}, {3, 100, 0}));
  EXPECT_TRUE(RanksBefore({3, 100, 0}, {3, 100, 5}));
  EXPECT_FALSE(RanksBefore({3, 100, 5}, {3, 100, 5}));
}

// How many sets solve each puzzle, and the first kMaxUnsolved puzzles that none solves.
TEST(SweepTallyTest, PuzzlesBySetsThatSolveThemAndTheFirstUnsolved) {
  std::vector<std::vector<RunSummary>> runs(60, {Stopped(40), Stopped(40), Stopped(40)});
  runs.insert(runs.begin() + 3, {Solved(3), Stopped(40), Solved(3)});
  runs.push_back({Solved(3), Solved(3), Solved(3)});
  runs.push_back({Stopped(40), Solved(3), Stopped(40)});
  const SweepTally sweep = SweepOf(3, runs);
  EXPECT_EQ(std::vector<std::int64_t>(sweep.solvedBy().begin(), sweep.solvedBy().end()),
            (std::vector<std::int64_t>{60, 1, 1, 1}));
  ASSERT_EQ(sweep.unsolved().size(), SweepTally::kMaxUnsolved);
  EXPECT_EQ(sweep.moreUnsolved(), 10);
  // Lines 1 to 3, then 5 on: line 4 is solved by two sets.
  EXPECT_EQ(sweep.unsolved()[2].line, 3);
  EXPECT_EQ(sweep.unsolved()[3].line, 5);
  EXPECT_EQ(sweep.unsolved()[49].line, 51);
  EXPECT_EQ(sweep.unsolved()[49].source, "a.txt");
  EXPECT_EQ(sweep.unsolved()[49].pageStem, "a-51");
  EXPECT_EQ(sweep.puzzles(), 63);
}

// The table of sets shows the first kShownSets in the best order and says how many are left out;
// medians are the bins' ranges.
TEST(SweepTallyTest, TheOverviewShowsTheFirstSetsAndCountsTheRest) {
  struct Case {
    std::size_t sets;
    std::size_t rows;
    const char* more;
  };
  for (const Case& c : {Case{2, 2, nullptr},
                        {200, 200, nullptr},
                        {203, 200, "and 3 more sets"},
                        {201, 200, "and 1 more set,"}}) {
    std::vector<RunSummary> line;
    for (std::size_t k = 0; k < c.sets; ++k) {
      line.push_back(Solved(static_cast<std::int64_t>(1000 - k)));
    }
    const SweepTally sweep = SweepOf(c.sets, {line, line, line});
    const BatchTally best = sweep.TallyOf(sweep.BestOrder().front(), {});
    const std::string page = RenderOverview(sweep, best, std::nullopt);
    const std::size_t table = page.find("<table class=\"rows sets\">");
    const std::size_t end = page.find("</table>", table);
    ASSERT_NE(table, std::string::npos);
    std::size_t rows = 0;
    for (std::size_t at = page.find("<tr", table); at < end; at = page.find("<tr", at + 1)) ++rows;
    EXPECT_EQ(rows, c.rows + 1) << c.sets;  // and the heading's
    // The best, set N with 3 x (1001 - N) steps, comes first.
    const std::string best1 =
        "<td>set " + std::to_string(c.sets) + ": 4/" + std::to_string(9 + c.sets) + "/4123";
    EXPECT_EQ(page.find("<td>set ", table), page.find(best1, table)) << c.sets;
    EXPECT_EQ(page.find("id=\"more-sets\"") != std::string::npos, c.more != nullptr) << c.sets;
    if (c.more) {
      EXPECT_NE(page.find(c.more), std::string::npos) << c.sets;
    }
  }
}

// A made-up sweep: `sets` sets over `files` FILEs of `lines` lines each (the second FILE not
// read), with refused lines, every outcome, answers that differ, and ties in steps. Each set's
// rows also go to a plain tally of its own, and its counts of each FILE to `fileCounts`.
struct MadeUp {
  SweepTally sweep;
  std::vector<BatchTally> plain;
  std::vector<std::vector<LineCounts>> fileCounts;  // [set][operand]
};

MadeUp MakeUp(std::size_t sets, std::size_t files, std::int64_t lines) {
  const RunParameters base{.solutions = true};
  MadeUp made{SweepTally(ListsOf(sets), base), {}, std::vector<std::vector<LineCounts>>(sets)};
  for (std::size_t k = 0; k < sets; ++k) {
    made.plain.emplace_back(ListsOf(sets).Set(k, base));
    made.fileCounts[k].resize(files);
  }
  std::uint64_t state = 0x9E3779B97F4A7C15u;
  const auto next = [&state](std::uint64_t below) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::int64_t>(state % below);
  };
  std::string puzzle(81, '0');
  std::vector<SetRun> runs(sets);
  std::vector<std::string> pages(sets);
  for (std::size_t operand = 0; operand < files; ++operand) {
    const std::string source = "f" + std::to_string(operand) + ".txt";
    if (operand == 1) {
      made.sweep.FileNotRead(operand, source, "No such file or directory");
      for (BatchTally& tally : made.plain)
        tally.FileNotRead(operand, source, "No such file or directory");
      continue;
    }
    for (std::int64_t line = 1; line <= lines; ++line) {
      const RowPlace place{operand, source, line};
      if (next(13) == 0) {
        made.sweep.AddRefused(place, "the line has 80 cells, not 81");
        for (std::size_t k = 0; k < sets; ++k) {
          made.plain[k].AddRefused(place, "the line has 80 cells, not 81");
          made.fileCounts[k][operand].Count(std::nullopt, std::nullopt);
        }
        continue;
      }
      for (char& c : puzzle) c = static_cast<char>('0' + next(10));
      const std::optional<int> solutions = static_cast<int>(next(3));
      const std::string stem = "f" + std::to_string(operand) + "-" + std::to_string(line);
      for (std::size_t k = 0; k < sets; ++k) {
        RunSummary& run = runs[k].run;
        run.outcome = static_cast<Outcome>(next(4));
        run.attempts = 1 + next(k == 0 ? 3 : 300);
        run.steps = next(8) * 100 + next(2);  // many ties
        run.depth = static_cast<std::int32_t>(next(14));
        runs[k].answer = static_cast<AnswerCheck>(next(kAnswerChecks));
        pages[k] = stem + "-" + std::to_string(k + 1) + ".html";
        made.plain[k].AddGraded({place, puzzle, run, solutions, pages[k], runs[k].answer});
        made.fileCounts[k][operand].Count(run.outcome, solutions, runs[k].answer);
      }
      made.sweep.AddLine(place, puzzle, solutions, stem, runs);
    }
    made.sweep.FileDone(operand, source, lines + 1);
    for (BatchTally& tally : made.plain) tally.FileDone(operand, source, lines + 1);
  }
  return made;
}

// Each set's tally, made from its compact record at the end, is the tally of a plain batch fed
// only its rows: the whole one-set overview of it is the same, byte for byte.
TEST(SweepTallyTest, EachSetsTallyIsAPlainBatchOfItsRows) {
  struct Case {
    std::size_t sets;
    std::size_t files;
    std::int64_t lines;
  };
  // Past the hardest and differing bounds; past the FILEs shown, one by one.
  for (const Case& c : {Case{3, 3, 400}, {2, 104, 3}, {4, 1, 0}}) {
    const MadeUp made = MakeUp(c.sets, c.files, c.lines);
    for (std::size_t k = 0; k < c.sets; ++k) {
      const BatchTally tally = made.sweep.TallyOf(k, made.fileCounts[k]);
      const BatchTally& plain = made.plain[k];
      EXPECT_EQ(tally.totals().puzzles, plain.totals().puzzles);
      EXPECT_EQ(tally.hardest().size(), plain.hardest().size());
      EXPECT_EQ(tally.differing().size(), plain.differing().size());
      EXPECT_EQ(tally.moreDiffering(), plain.moreDiffering());
      EXPECT_EQ(RenderOverview(tally, "pages/"), RenderOverview(plain, "pages/"))
          << c.sets << " sets, " << c.files << " FILEs, set " << k + 1;
    }
  }
}

// A set's hardest puzzles keep their attempts and depths exact, those too large for a compact
// reference among them, while references come and go.
TEST(SweepTallyTest, TheHardestKeepEveryAttemptCountAndDepth) {
  constexpr std::int64_t k32 = std::int64_t{1} << 32;
  // Far past 32 bits, yet a set's total over all its lines still fits in 64.
  constexpr std::int64_t kHuge = INT64_MAX / 1024;
  struct Case {
    std::int64_t attempts;
    std::int32_t depth;
  };
  const Case cases[] = {
      {1, 0},     {k32 - 1, 126}, {k32, 0},           {k32 + 1, 81}, {1, 127},     {1, INT32_MAX},
      {kHuge, 5}, {0, -1},        {kHuge, INT32_MAX}, {k32 * 3, 9},  {k32 - 1, 0}, {1'000'000, 81},
  };
  constexpr std::size_t kSets = 2;
  SweepTally sweep(ListsOf(kSets), {});
  std::vector<BatchTally> plain;
  for (std::size_t k = 0; k < kSets; ++k) plain.emplace_back(ListsOf(kSets).Set(k, {}));
  // Three rounds of the cases over 150 lines: the hardest fill, then drop and take rows, the
  // second set in another order.
  std::vector<SetRun> runs(kSets);
  constexpr std::int64_t kLines = 150;
  constexpr auto kCases = static_cast<std::int64_t>(std::size(cases));
  for (std::int64_t line = 1; line <= kLines; ++line) {
    const std::string stem = "a-" + std::to_string(line);
    for (std::size_t k = 0; k < kSets; ++k) {
      const Case& c =
          cases[static_cast<std::size_t>((line * static_cast<std::int64_t>(k + 1)) % kCases)];
      runs[k].run = {static_cast<Outcome>(line % 4), c.attempts, line % 7 * 1000 + line, c.depth};
      plain[k].AddGraded({{0, "a.txt", line},
                          kPuzzle,
                          runs[k].run,
                          std::nullopt,
                          stem + "-" + std::to_string(k + 1) + ".html",
                          std::nullopt});
    }
    sweep.AddLine({0, "a.txt", line}, kPuzzle, std::nullopt, stem, runs);
  }
  sweep.FileDone(0, "a.txt", kLines);
  for (BatchTally& tally : plain) tally.FileDone(0, "a.txt", kLines);
  for (std::size_t k = 0; k < kSets; ++k) {
    LineCounts counts;
    counts.puzzles = plain[k].totals().puzzles;
    counts.outcomes = plain[k].totals().outcomes;
    const BatchTally tally = sweep.TallyOf(k, std::vector<LineCounts>{counts});
    ASSERT_EQ(tally.hardest().size(), BatchTally::kHardest);
    for (std::size_t at = 0; at < BatchTally::kHardest; ++at) {
      EXPECT_EQ(tally.hardest()[at].line, plain[k].hardest()[at].line) << "set " << k + 1;
      EXPECT_EQ(tally.hardest()[at].run, plain[k].hardest()[at].run)
          << "set " << k + 1 << ", line " << plain[k].hardest()[at].line;
    }
    EXPECT_EQ(RenderOverview(tally, "v/"), RenderOverview(plain[k], "v/")) << "set " << k + 1;
  }
}

// The sweep's page shows the best set's usual sections after its own.
TEST(SweepTallyTest, TheSweepsPageEndsWithTheBestSetsSections) {
  const MadeUp made = MakeUp(3, 2, 120);
  const std::size_t best = made.sweep.BestOrder().front();
  const BatchTally tally = made.sweep.TallyOf(best, made.fileCounts[best]);
  const std::string sweep = RenderOverview(made.sweep, tally, "v/");
  const std::string plain = RenderOverview(made.plain[best], "v/");
  const std::string heading = "<h2 class=\"best\" id=\"best-set\">The best set, set " +
                              std::to_string(best + 1) + ": " + made.sweep.Label(best) + "</h2>";
  const std::size_t at = sweep.find(heading);
  ASSERT_NE(at, std::string::npos);
  const std::size_t from = plain.find("<section>\n<h2 id=\"outcomes\">");
  ASSERT_NE(from, std::string::npos);
  EXPECT_TRUE(sweep.ends_with(plain.substr(from)));
  EXPECT_LT(sweep.size(), kMaxOverviewBytes);
}

// The worst a sweep can do: the most sets, every one unbeaten and with the longest sequence,
// names and pages as long as kept and made of characters that grow most when escaped or
// percent-encoded, the best set's lists all full.
TEST(SweepTallyTest, BoundedWhateverTheSweep) {
  constexpr std::size_t kSets = 10'000;
  ParameterLists lists{{1'000'000}, {}, {std::string(100, '4')}};
  for (std::size_t k = 0; k < kSets; ++k) {
    lists.steps.push_back(1'000'000 + static_cast<std::int32_t>(k));
  }
  SweepTally sweep(std::move(lists), {.solutions = true});
  const std::string name(5000, '&');
  const std::string stem(BatchTally::kMaxPageBytes - 11, '#');
  std::vector<SetRun> runs(kSets);
  std::vector<LineCounts> files;
  for (std::int64_t k = 0; k < 2'100; ++k) {
    const auto operand = static_cast<std::size_t>(k / 20);
    files.resize(operand + 1);
    const RowPlace place{operand, name, INT64_MAX - k};
    if (k % 3 == 0) {
      sweep.AddRefused(place, name);
    } else {
      // Set K solves the first lines up to its number, each in fewer steps than the one before.
      for (std::size_t set = 0; set < kSets; ++set) {
        const bool solved = k < 600 && static_cast<std::size_t>(k) <= kSets - set;
        runs[set] = {{solved ? Outcome::kSolved : static_cast<Outcome>(1 + k % 3), INT32_MAX - k,
                      INT32_MAX - k - static_cast<std::int64_t>(set), INT32_MAX},
                     AnswerCheck::kDiffers};
      }
      sweep.AddLine(place, kPuzzle, static_cast<int>(k % 3), stem, runs);
      files[operand].Count(runs[0].run.outcome, static_cast<int>(k % 3), runs[0].answer);
    }
    if (k % 20 == 19) sweep.FileNotRead(operand, name, name);
  }
  const std::size_t best = sweep.BestOrder().front();
  const std::string overview = RenderOverview(sweep, sweep.TallyOf(best, files),
                                              std::string(BatchTally::kMaxPageBytes, '#'));
  EXPECT_LE(overview.size(), kMaxOverviewBytes);
  EXPECT_GT(overview.size(), kMaxOverviewBytes / 2) << overview.size();  // near the bound
  // Within it by leaving the links out, and saying so.
  EXPECT_NE(overview.find("<p class=\"note\" id=\"unlinked\">"), std::string::npos);
  EXPECT_EQ(overview.find("<a "), std::string::npos);
}

}  // namespace
}  // namespace tarvik::view
