// SPDX-License-Identifier: MIT
// The exact solver's counts on grids whose counts are known by construction or from published
// solutions, and against a plain backtracking counter on random grids. Every solution it gives is
// checked for rows, columns, boxes and givens.
#include "exact/exact_solver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <numeric>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "exact/grid_check.h"

namespace tarvik::exact {
namespace {

using testing::CellsOf;
using testing::DigitsOf;
using testing::ProblemWith;

// A published puzzle's solution, and the same grid with one cell changed or emptied.
constexpr const char* kSolved =
    "534678912672195348198342567859761423426853791713924856961537284287419635345286179";

struct Case {
  const char* name;
  const char* puzzle;
  int count;
  // The solutions the solver may give first: the one for a unique puzzle, either of two; none
  // listed where any solution will do.
  std::vector<const char*> firsts;
};

const Case kCases[] = {
    {"FullGrid", kSolved, 1, {kSolved}},
    {"LastEmptyCell",
     "534678912672195348198342567859761423426853791713924856961537284287419635345286170",
     1,
     {kSolved}},
    {"EmptyGrid",
     "000000000000000000000000000000000000000000000000000000000000000000000000000000000",
     2,
     {}},
    {"RepeatInRow",
     "100000001000000000000000000000000000000000000000000000000000000000000000000000000",
     0,
     {}},
    {"RepeatInColumn",
     "000000000000000000000000000000000000700000000000000000000000000000000000700000000",
     0,
     {}},
    {"RepeatInBox",
     "000000000000000000000000000000000000000000000000000000000000000000000090000000009",
     0,
     {}},
    // The full grid with (1,1) changed from 5 to 3: the 3 at (1,2) repeats.
    {"FullGridWithARepeat",
     "334678912672195348198342567859761423426853791713924856961537284287419635345286179",
     0,
     {}},
    {"PublishedPuzzle",
     "530070000600195000098000060800060003400803001700020006060000280000419005000080079",
     1,
     {kSolved}},
    {"NakedSinglesOnly",
     "305420810487901506029056374850793041613208957074065280241309065508670192096512408",
     1,
     {"365427819487931526129856374852793641613248957974165283241389765538674192796512438"}},
    {"HiddenSinglesNeeded",
     "002030008000008000031020000060050270010000050204060031000080605000000013005310400",
     1,
     {"672435198549178362831629547368951274917243856254867931193784625486592713725316489"}},
    {"SeventeenGivens",
     "000000000000000001000002030000003020001040000005000060030000004070080009620007000",
     1,
     {"953168742862734951417952836746893125281645397395271468138529674574386219629417583"}},
    {"NeedsSearch",
     "400000805030000000000700000020000060000080400000010000000603070500200000104000000",
     1,
     {"417369825632158947958724316825437169791586432346912758289643571573291684164875293"}},
    // The full grid with (1,4) 6, (1,5) 7, (4,4) 7, (4,5) 6 emptied: rows 1 and 4, columns 4 and
    // 5 and boxes 2 and 5 each miss 6 and 7 there, which fit both ways round and no other.
    {"ExactlyTwo",
     "534008912672195348198342567859001423426853791713924856961537284287419635345286179",
     2,
     {kSolved,
      "534768912672195348198342567859671423426853791713924856961537284287419635345286179"}},
    // (1,9) can take nothing: its row holds 1 to 8 and its column 9.
    {"DeadCell",
     "123456780000000009000000000000000000000000000000000000000000000000000000000000000",
     0,
     {}},
    // Row 1 has no place for 1 (the 1 at (2,3) rules out its first three cells), though each of
    // its cells may take 2 or 3.
    {"NoPlaceForAValue",
     "000456789001000000000000000000000000000000000000000000000000000000000000000000000",
     0,
     {}},
    // Published unsolvable cases: a square, a box, a column and a row that cannot be completed.
    {"UnsolvableSquare",
     "009028700806004005003000004600000000020713450000000002300000500900400807001250300",
     0,
     {}},
    {"UnsolvableBox",
     "090300001000080046000000800405060030003275600060010904001000000580020000200007060",
     0,
     {}},
    {"UnsolvableColumn",
     "000041000060000020002000000320600000000050041700000002000000230048000000501002000",
     0,
     {}},
    {"UnsolvableRow",
     "900100004014030800003000090000708001800003000000000030021000070009040500500016003",
     0,
     {}},
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name << ' ' << c.puzzle; }

class ExactSolverTest : public ::testing::TestWithParam<Case> {};

TEST_P(ExactSolverTest, CountsAndChecksTheFirstSolution) {
  const Case& c = GetParam();
  const Cells puzzle = CellsOf(c.puzzle);
  Cells first;
  first.fill(0xEE);  // must stay so when there is no solution
  const SolutionCount count = CountSolutions(puzzle, first);
  EXPECT_EQ(static_cast<int>(count), c.count);
  EXPECT_EQ(CountSolutions(puzzle), count);
  if (c.count == 0) {
    EXPECT_TRUE(std::all_of(first.begin(), first.end(), [](std::uint8_t v) { return v == 0xEE; }));
    return;
  }
  EXPECT_EQ(ProblemWith(first, puzzle), "") << DigitsOf(first);
  if (!c.firsts.empty()) {
    EXPECT_NE(std::find(c.firsts.begin(), c.firsts.end(), DigitsOf(first)), c.firsts.end())
        << DigitsOf(first);
  }
}

INSTANTIATE_TEST_SUITE_P(Grids, ExactSolverTest, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<Case>& param) {
                           return param.param.name;
                         });

// The second method: plain backtracking, each value of a cell tried against its row, column and
// box as read off the grid, always on the empty cell where the fewest values fit; up to two
// solutions.
class PlainCounter {
 public:
  int Count(const Cells& puzzle) {
    grid_ = puzzle;
    solutions_ = 0;
    for (int k = 0; k < 81; ++k) {
      const std::uint8_t v = At(k);
      if (v == 0) continue;
      grid_[static_cast<std::size_t>(k)] = 0;
      const bool fits = Fits(k, v);
      grid_[static_cast<std::size_t>(k)] = v;
      if (!fits) return 0;
    }
    Fill();
    return solutions_;
  }
  const Cells& first() const { return first_; }

 private:
  std::uint8_t At(int k) const { return grid_[static_cast<std::size_t>(k)]; }

  bool Fits(int k, std::uint8_t v) const {
    const int r = k / 9;
    const int c = k % 9;
    for (int j = 0; j < 9; ++j) {
      const int box = (r / 3 * 3 + j / 3) * 9 + c / 3 * 3 + j % 3;
      if (At(r * 9 + j) == v || At(j * 9 + c) == v || At(box) == v) return false;
    }
    return true;
  }

  int FitCount(int k) const {
    int n = 0;
    for (std::uint8_t v = 1; v <= 9; ++v) n += Fits(k, v) ? 1 : 0;
    return n;
  }

  void Fill() {
    int cell = -1;
    int fewest = 10;
    for (int k = 0; k < 81 && fewest > 0; ++k) {
      if (At(k) != 0) continue;
      const int n = FitCount(k);
      if (n < fewest) {
        cell = k;
        fewest = n;
      }
    }
    if (cell < 0) {
      if (solutions_++ == 0) first_ = grid_;
      return;
    }
    for (std::uint8_t v = 1; v <= 9 && solutions_ < 2; ++v) {
      if (!Fits(cell, v)) continue;
      grid_[static_cast<std::size_t>(cell)] = v;
      Fill();
      grid_[static_cast<std::size_t>(cell)] = 0;
    }
  }

  Cells grid_{};
  Cells first_{};
  int solutions_ = 0;
};

// A random full grid: a fixed valid pattern with its values, rows within bands, bands, columns
// within stacks and stacks shuffled, and perhaps mirrored on the diagonal.
Cells RandomFullGrid(std::mt19937& random) {
  const auto shuffled = [&random](std::array<int, 3> a) {
    std::shuffle(a.begin(), a.end(), random);
    return a;
  };
  std::array<int, 9> values{};
  std::iota(values.begin(), values.end(), 1);
  std::shuffle(values.begin(), values.end(), random);
  std::array<int, 9> rows{};
  std::array<int, 9> columns{};
  const std::array<int, 3> bands = shuffled({0, 1, 2});
  const std::array<int, 3> stacks = shuffled({0, 1, 2});
  for (std::size_t b = 0; b < 3; ++b) {
    const std::array<int, 3> inBand = shuffled({0, 1, 2});
    const std::array<int, 3> inStack = shuffled({0, 1, 2});
    for (std::size_t i = 0; i < 3; ++i) {
      rows[3 * b + i] = 3 * bands[b] + inBand[i];
      columns[3 * b + i] = 3 * stacks[b] + inStack[i];
    }
  }
  const bool mirror = random() % 2 == 0;
  Cells grid{};
  for (std::size_t r = 0; r < 9; ++r) {
    for (std::size_t c = 0; c < 9; ++c) {
      const int pr = rows[mirror ? c : r];
      const int pc = columns[mirror ? r : c];
      const auto pattern = static_cast<std::size_t>((3 * (pr % 3) + pr / 3 + pc) % 9);
      grid[9 * r + c] = static_cast<std::uint8_t>(values[pattern]);
    }
  }
  return grid;
}

// Random grids of three kinds, from a fixed seed: a full grid with some givens kept (one or more
// solutions); the same with one or two givens changed (mostly none, with or without a repeat);
// a few values dropped anywhere (mostly many solutions, sometimes a repeat).
TEST(ExactSolverFuzzTest, AgreesWithAPlainCounterOnRandomGrids) {
  std::mt19937 random(20261207);
  PlainCounter plain;
  int seen[3] = {};
  for (int n = 0; n < 3000; ++n) {
    Cells puzzle{};
    const auto kind = random() % 4;
    if (kind <= 2) {
      const Cells full = RandomFullGrid(random);
      std::array<std::size_t, 81> order{};
      std::iota(order.begin(), order.end(), 0);
      std::shuffle(order.begin(), order.end(), random);
      const std::size_t kept = 26 + random() % 56;
      for (std::size_t i = 0; i < kept; ++i) puzzle[order[i]] = full[order[i]];
      for (auto changes = kind == 2 ? 1 + random() % 2 : 0; changes > 0; --changes) {
        puzzle[order[random() % kept]] = static_cast<std::uint8_t>(1 + random() % 9);
      }
    } else {
      for (auto values = random() % 12; values > 0; --values) {
        puzzle[random() % 81] = static_cast<std::uint8_t>(1 + random() % 9);
      }
    }
    SCOPED_TRACE(DigitsOf(puzzle));
    Cells first{};
    const int count = static_cast<int>(CountSolutions(puzzle, first));
    const int expected = plain.Count(puzzle);
    ASSERT_EQ(count, expected);
    ++seen[count];
    if (count >= 1) {
      ASSERT_EQ(ProblemWith(first, puzzle), "") << DigitsOf(first);
    }
    if (count == 1) {
      ASSERT_EQ(DigitsOf(first), DigitsOf(plain.first()));
    }
  }
  // Each count came up often enough to mean something.
  EXPECT_GT(seen[0], 300);
  EXPECT_GT(seen[1], 300);
  EXPECT_GT(seen[2], 300);
}

}  // namespace
}  // namespace tarvik::exact
