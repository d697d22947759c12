// SPDX-License-Identifier: MIT
#include "report/layout.h"

#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <vector>

#include "report/grid_listing.h"
#include "report/layout_internal.h"

namespace tarvik {
namespace {

std::string Lay(LineKind kind, std::vector<std::int32_t> values) {
  std::array<char, kMaxWriteBytes> buffer{};
  char* end = LayOut(kind, values, buffer.data());
  return std::string(buffer.data(), end);
}

struct KindCase {
  LineKind kind;
  std::vector<std::int32_t> values;
  std::string text;
};

TEST(LayoutTest, EveryLineKindMatchesItsTemplate) {
  const std::vector<KindCase> cases = {
      {LineKind::PUZZLESTART, {45}, "\nPuzzle Start    45 Unknowns\n"},
      {LineKind::PUZZLESOLVED, {}, "\nPuzzle Solved \n"},
      {LineKind::MAXSTEPS, {}, "\nPuzzle not solved in maximum number of steps\n"},
      {LineKind::NOPROGRESS,
       {},
       "\nPuzzle not solved  -  not getting any further improvement with each step.\n\n"},
      {LineKind::PAIRFOUND, {2, 5, 3, 8}, "          S(2,5) could be 3 or 8\n\n"},
      {LineKind::RESTARTING, {}, "\nRestarting with guesses:\n"},
      {LineKind::GUESSAPPLIED, {2, 5, 3}, "     S(2,5) = 3\n"},
      {LineKind::NOSOLUTION,
       {},
       "\n No guesses possible.   Error in puzzle definition.   No solution\n"},
      {LineKind::NOMOREGUESSES, {}, "\nPuzzle not solved  -  no further guesses possible\n"},
      {LineKind::FILEBANNER,
       {},
       "\nSudoku puzzle definition input:   Sudin.txt\n"
       "Sudoku puzzle solver program:     Tarvik.exe\n"
       "Sudoku puzzle solution output:    Sudout.txt\n"},
      {LineKind::ROWSTEP, {7}, "\nStep  7  Search each row for positions for each value\n"},
      {LineKind::COLUMNSTEP, {12}, "\nStep 12  Search each column for positions for each value\n"},
      {LineKind::BOXSTEP, {100}, "\nStep100  Search each box for positions for each value\n"},
      {LineKind::SINGLESTEP,
       {1},
       "\nStep  1  Search each position to see if a single value can be assigned.\n"},
      {LineKind::CELLFOUND, {3, 4, 5}, "           S(3,4) =  5\n"},
      {LineKind::CELLFOUNDCOLUMN, {3, 4, 5}, "           S(3,4) = 5\n"},
      {LineKind::FOUNDCOUNT, {3}, "          Found positions for 3 values\n"},
      {LineKind::MATRIXHEADER, {51}, "          Sudoku Matrix    51 unknowns\n"},
      {LineKind::MATRIXROW, {5, 3, 0, 0, 7, 0, 0, 0, 0}, "  5  3  0  0  7  0  0  0  0\n"},
  };
  for (const KindCase& c : cases) {
    EXPECT_EQ(Lay(c.kind, c.values), c.text) << "line kind " << static_cast<int>(c.kind);
  }
}

TEST(LayoutTest, LineLengthsAreThoseOfTheTable) {
  // The length of the one text line of each kind, trailing blanks included.
  const auto lineLength = [](const std::string& text) {
    std::size_t longest = 0;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) longest = std::max(longest, line.size());
    return longest;
  };
  EXPECT_EQ(lineLength(Lay(LineKind::PUZZLESTART, {45})), 27u);
  EXPECT_EQ(lineLength(Lay(LineKind::PUZZLESOLVED, {})), 14u);
  EXPECT_EQ(lineLength(Lay(LineKind::NOPROGRESS, {})), 73u);
  EXPECT_EQ(lineLength(Lay(LineKind::PAIRFOUND, {1, 2, 3, 4})), 32u);
  EXPECT_EQ(lineLength(Lay(LineKind::GUESSAPPLIED, {1, 2, 3})), 15u);
  EXPECT_EQ(lineLength(Lay(LineKind::NOSOLUTION, {})), 65u);
  EXPECT_EQ(lineLength(Lay(LineKind::ROWSTEP, {1})), 53u);
  EXPECT_EQ(lineLength(Lay(LineKind::COLUMNSTEP, {1})), 56u);
  EXPECT_EQ(lineLength(Lay(LineKind::BOXSTEP, {1})), 53u);
  EXPECT_EQ(lineLength(Lay(LineKind::SINGLESTEP, {1})), 71u);
  EXPECT_EQ(lineLength(Lay(LineKind::CELLFOUND, {1, 2, 3})), 22u);
  EXPECT_EQ(lineLength(Lay(LineKind::CELLFOUNDCOLUMN, {1, 2, 3})), 21u);
  EXPECT_EQ(lineLength(Lay(LineKind::FOUNDCOUNT, {1})), 38u);
  EXPECT_EQ(lineLength(Lay(LineKind::MATRIXHEADER, {1})), 38u);
  EXPECT_EQ(lineLength(Lay(LineKind::MATRIXROW, {1, 2, 3, 4, 5, 6, 7, 8, 9})), 27u);
}

TEST(LayoutTest, FieldsTooNarrowShowAsterisksOfTheirWidth) {
  EXPECT_EQ(Lay(LineKind::FOUNDCOUNT, {12}), "          Found positions for * values\n");
  EXPECT_EQ(Lay(LineKind::FOUNDCOUNT, {-1}), "          Found positions for * values\n");
  EXPECT_EQ(Lay(LineKind::CELLFOUND, {1, 1, 10}), "           S(1,1) = 10\n");
  EXPECT_EQ(Lay(LineKind::CELLFOUND, {1, 1, -9}), "           S(1,1) = -9\n");
  EXPECT_EQ(Lay(LineKind::CELLFOUND, {1, 1, 100}), "           S(1,1) = **\n");
  EXPECT_EQ(Lay(LineKind::MATRIXROW, {-5, 999, 1000, -99, -100, 0, 0, 0, 0}),
            " -5999***-99***  0  0  0  0\n");
  EXPECT_EQ(Lay(LineKind::PUZZLESTART, {-99999}), "\nPuzzle Start-99999 Unknowns\n");
  EXPECT_EQ(Lay(LineKind::PUZZLESTART, {-100000}), "\nPuzzle Start****** Unknowns\n");
  EXPECT_EQ(Lay(LineKind::MATRIXHEADER, {INT32_MIN}), "          Sudoku Matrix****** unknowns\n");
  EXPECT_EQ(Lay(LineKind::MATRIXHEADER, {INT32_MAX}), "          Sudoku Matrix****** unknowns\n");
}

TEST(LayoutTest, WriteStopsWhereTheValuesRunOut) {
  // The text after the first field without a value is not applied; the line is still emitted.
  EXPECT_EQ(Lay(LineKind::CELLFOUND, {3}), "           S(3,\n");
  EXPECT_EQ(Lay(LineKind::MATRIXROW, {1, 2}), "  1  2\n");
  EXPECT_EQ(Lay(LineKind::MATRIXROW, {}), "\n");
  EXPECT_EQ(Lay(LineKind::PUZZLESTART, {}), "\nPuzzle Start\n");
}

TEST(LayoutTest, TemplateIsAppliedAgainWhileValuesRemain) {
  EXPECT_EQ(Lay(LineKind::GUESSAPPLIED, {1, 2, 3, 4, 5, 6}), "     S(1,2) = 3\n     S(4,5) = 6\n");
  EXPECT_EQ(Lay(LineKind::PUZZLESTART, {1, 2}),
            "\nPuzzle Start     1 Unknowns\n\nPuzzle Start     2 Unknowns\n");
  EXPECT_EQ(Lay(LineKind::MATRIXROW, {1, 2, 3, 4, 5, 6, 7, 8, 9, 1}),
            "  1  2  3  4  5  6  7  8  9\n  1\n");
}

// The search-sequence echo as a list of line shapes: "empty", "title", or the number of codes.
std::vector<std::string> EchoShape(int n) {
  std::vector<std::int32_t> codes(static_cast<std::size_t>(n), 4);
  std::istringstream lines(Lay(LineKind::SEARCHSEQUENCE, codes));
  std::vector<std::string> shape;
  for (std::string line; std::getline(lines, line);) {
    if (line.empty()) {
      shape.push_back("empty");
    } else if (line == " Search Sequence") {
      shape.push_back("title");
    } else {
      EXPECT_EQ(line.size() % 3, 0u) << line;
      EXPECT_EQ(line.find_first_not_of(" 4"), std::string::npos) << line;
      shape.push_back(std::to_string(line.size() / 3));
    }
  }
  return shape;
}

TEST(LayoutTest, SearchSequenceEchoHasTenCodesToALineAndFourLinesToAPass) {
  using V = std::vector<std::string>;
  EXPECT_EQ(EchoShape(0), (V{"empty", "title", "empty"}));
  EXPECT_EQ(EchoShape(5), (V{"empty", "title", "5"}));
  EXPECT_EQ(EchoShape(10), (V{"empty", "title", "10", "empty"}));
  EXPECT_EQ(EchoShape(15), (V{"empty", "title", "10", "5"}));
  EXPECT_EQ(EchoShape(20), (V{"empty", "title", "10", "10", "empty"}));
  EXPECT_EQ(EchoShape(40), (V{"empty", "title", "10", "10", "10", "10"}));
  EXPECT_EQ(EchoShape(45), (V{"empty", "title", "10", "10", "10", "10", "empty", "title", "5"}));
  EXPECT_EQ(EchoShape(50),
            (V{"empty", "title", "10", "10", "10", "10", "empty", "title", "10", "empty"}));
  EXPECT_EQ(EchoShape(100), (V{"empty", "title", "10", "10", "10", "10", "empty", "title", "10",
                               "10", "10", "10", "empty", "title", "10", "10", "empty"}));
}

TEST(LayoutTest, WidestWriteFitsTheBound) {
  std::vector<std::int32_t> codes(kMaxWriteValues, INT32_MIN);
  const std::string echo = Lay(LineKind::SEARCHSEQUENCE, codes);
  EXPECT_LT(echo.size(), kMaxWriteBytes);
  EXPECT_EQ(echo.substr(0, 20), "\n Search Sequence\n**");
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// The layout routine built for each kind must agree with the generic one that applies the rules
// item by item, for every kind, with the values its template takes and with fewer or more.
TEST(LayoutTest, PerKindLayoutAgreesWithTheGenericRules) {
  const std::int32_t values[] = {7, -3, 12, 0, 123456, 9, 1000, 5, 42, -99, 8, 1, 2, 3};
  for (int k = 0; k < kLineKindCount; ++k) {
    const auto kind = static_cast<LineKind>(k);
    const std::size_t fields = static_cast<std::size_t>(FieldCount(kind));
    for (const std::size_t n : {fields, fields > 0 ? fields - 1 : 0, fields + 3}) {
      const std::span<const std::int32_t> given(values, std::min(n, std::size(values)));
      std::array<char, kMaxWriteBytes + 64> generic{};
      std::array<char, kMaxWriteBytes + 64> built{};
      char* genericEnd = layout::LayOutAny(TemplateOf(kind), given, generic.data());
      char* builtEnd = LayOut(kind, given, built.data());
      EXPECT_EQ(std::string(built.data(), builtEnd), std::string(generic.data(), genericEnd))
          << "line kind " << k << " with " << given.size() << " values";
    }
  }
}

// A row's values are its own nine cells, with their signs, in order: every byte value at every
// cell of the grid, beside cells that each hold a value of their own.
TEST(LayoutTest, RowValuesBuildsWidenEveryCellOfTheRow) {
  Grid grid;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) grid(i, j) = static_cast<std::int8_t>(10 * i + j);
  }
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      for (int value = -128; value <= 127; ++value) {
        Grid planted = grid;
        planted(i, j) = static_cast<std::int8_t>(value);
        std::array<std::int32_t, layout::kRowValues> row{};
        layout::RowValuesPortable(planted, i, row);
        for (int k = 1; k <= 9; ++k) {
          ASSERT_EQ(row[static_cast<std::size_t>(k) - 1], planted(i, k)) << i << j << value;
        }
#if defined(TARVIK_VECTOR_SSE2)
        row.fill(0);
        layout::RowValuesSse2(planted, i, row);
        for (int k = 1; k <= 9; ++k) {
          ASSERT_EQ(row[static_cast<std::size_t>(k) - 1], planted(i, k)) << i << j << value;
        }
#endif
      }
    }
  }
}

// The grid listing's builds must give the bytes of the row-by-row MATRIXROW layout for grids of
// every kind: empty, full, partly filled, cells 0 to 9 at every place of every box, and a cell or
// padding byte outside 0 to 9 in each box line (where the listing falls back to the rows).
TEST(LayoutTest, GridListingBuildsAgreeWithTheRowLayout) {
  std::vector<Grid> grids(4);
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      grids[1](i, j) = static_cast<std::int8_t>((3 * (i - 1) + (i - 1) / 3 + j - 1) % 9 + 1);
      grids[2](i, j) = static_cast<std::int8_t>((i + j) % 3 == 0 ? 0 : (i * j) % 10);
      grids[3](i, j) = 9;
    }
  }
  std::uint32_t seed = 12345;
  for (int k = 0; k < 40; ++k) {
    Grid& grid = grids.emplace_back();
    for (int i = 1; i <= 9; ++i) {
      for (int j = 1; j <= 9; ++j) {
        seed = seed * 1664525u + 1013904223u;
        grid(i, j) = static_cast<std::int8_t>((seed >> 24) % 10);
      }
    }
  }
  const std::int8_t strays[] = {10, 15, 16, 99, 127, -1, -118, -128};
  for (std::ptrdiff_t band = 0; band < 3; ++band) {
    for (const std::ptrdiff_t place : {0, 4, 8, 15, 16, 26, 27, 31}) {  // 27 and 31 are padding
      Grid grid = grids[1];
      grid.cells[Grid::kBandBytes * band + place] =
          strays[static_cast<std::size_t>(band + place) % std::size(strays)];
      grids.push_back(grid);
    }
  }
  for (std::size_t g = 0; g < grids.size(); ++g) {
    std::string rows;
    for (int i = 1; i <= 9; ++i) {
      std::vector<std::int32_t> values;
      for (int j = 1; j <= 9; ++j) values.push_back(grids[g](i, j));
      rows += Lay(LineKind::MATRIXROW, values);
    }
    std::array<char, layout::kGridRoom> out{};
    EXPECT_EQ(std::string(out.data(), layout::LayOutGridPortable(grids[g], out.data())), rows)
        << "portable, grid " << g;
#if defined(TARVIK_VECTOR_AVX2)
    if (__builtin_cpu_supports("avx2")) {
      out.fill(0);
      EXPECT_EQ(std::string(out.data(), layout::LayOutGridAvx2(grids[g], out.data())), rows)
          << "AVX2, grid " << g;
    }
#endif
  }
}

}  // namespace
}  // namespace tarvik
