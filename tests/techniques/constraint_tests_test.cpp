// SPDX-License-Identifier: MIT
#include "techniques/constraint_tests.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "support/test_support.h"

namespace tarvik {
namespace {

TEST(ConstraintTestsTest, EachTestSeesExactlyItsUnit) {
  PuzzleState st;
  st.S(5, 6) = 7;
  for (int k = 1; k <= 9; ++k) {
    EXPECT_EQ(VALUEINROW(st, k, 7), k == 5) << k;
    EXPECT_EQ(VALUEINCOLUMN(st, k, 7), k == 6) << k;
  }
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      EXPECT_EQ(VALUEINBOX(st, i, j, 7), i >= 4 && i <= 6 && j >= 4 && j <= 6) << i << j;
    }
  }
}

TEST(ConstraintTestsTest, BoxMayBeNamedByAnyOfItsCells) {
  PuzzleState st;
  st.S(3, 3) = 4;
  EXPECT_TRUE(VALUEINBOX(st, 1, 1, 4));
  EXPECT_TRUE(VALUEINBOX(st, 2, 3, 4));
  EXPECT_TRUE(VALUEINBOX(st, 3, 2, 4));
  st.S(7, 7) = 2;
  EXPECT_TRUE(VALUEINBOX(st, 9, 9, 2));
  EXPECT_FALSE(VALUEINBOX(st, 6, 9, 2));
  st.S(4, 6) = 9;
  EXPECT_TRUE(VALUEINBOX(st, 6, 4, 9));
  EXPECT_FALSE(VALUEINBOX(st, 6, 3, 9));
}

TEST(ConstraintTestsTest, ValueZeroAsksForAnEmptyCell) {
  PuzzleState st = testing::StateOf(
      "123056789 456789123 789123456 214365897 365897214 897214365 531642978 642978531 "
      "978531642");
  EXPECT_TRUE(VALUEINROW(st, 1, 0));
  EXPECT_TRUE(VALUEINCOLUMN(st, 4, 0));
  EXPECT_TRUE(VALUEINBOX(st, 2, 5, 0));
  EXPECT_FALSE(VALUEINROW(st, 2, 0));
  EXPECT_FALSE(VALUEINBOX(st, 1, 1, 0));
  st.S(1, 4) = 4;
  EXPECT_FALSE(VALUEINROW(st, 1, 0));
  EXPECT_FALSE(VALUEINCOLUMN(st, 4, 0));
  EXPECT_FALSE(VALUEINBOX(st, 2, 5, 0));
}

TEST(ConstraintTestsTest, PresenceOnlyWhateverTheGridHolds) {
  PuzzleState st;
  st.S(2, 1) = 8;
  st.S(2, 9) = 8;  // twice in a row: still just present
  EXPECT_TRUE(VALUEINROW(st, 2, 8));
  EXPECT_TRUE(VALUEINCOLUMN(st, 9, 8));
  EXPECT_FALSE(VALUEINROW(st, 2, 10));
  EXPECT_FALSE(VALUEINROW(st, 2, -1));
  EXPECT_FALSE(VALUEINCOLUMN(st, 1, -1));
  EXPECT_FALSE(VALUEINBOX(st, 2, 2, 10));
  // The padding beside a row is never taken for a cell.
  EXPECT_TRUE(VALUEINROW(st, 3, 0));
  st.S = testing::GridOf(std::string(81, '5'));
  EXPECT_FALSE(VALUEINROW(st, 3, 0));
  EXPECT_FALSE(VALUEINCOLUMN(st, 9, 0));
  EXPECT_FALSE(VALUEINBOX(st, 9, 9, 0));
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

// Grids of random cells 0 to 9 (any grid: the tests report presence, not consistency).
std::vector<Grid> RandomGrids(int count) {
  std::mt19937 random(20261207);
  std::uniform_int_distribution<int> cell(0, 9);
  std::vector<Grid> grids(static_cast<std::size_t>(count));
  for (Grid& grid : grids) {
    for (int i = 1; i <= 9; ++i) {
      for (int j = 1; j <= 9; ++j) {
        grid(i, j) = static_cast<std::int8_t>(cell(random) < 6 ? cell(random) : 0);
      }
    }
  }
  return grids;
}

// Each vector build against the cell-by-cell twins, for every unit and value (values outside 0 to
// 9 included) of random grids; the padding of the bands must never match. The columns holding a
// value and a cell's units, each read once for several tests, answer as the tests on the grid.
template <class Scan>
void ExpectSameAnswersAsPortable(const char* build) {
  for (const Grid& grid : RandomGrids(200)) {
    for (int value = -1; value <= 10; ++value) {
      const auto columns = Scan::ColumnsWith(grid, value);
      for (int k = 1; k <= 9; ++k) {
        const bool inRow = scan::Portable::Row(grid, k, value);
        const bool inColumn = scan::Portable::Column(grid, k, value);
        EXPECT_EQ(Scan::Row(grid, k, value), inRow) << build << " row " << k << " value " << value;
        EXPECT_EQ(Scan::Column(grid, k, value), inColumn)
            << build << " column " << k << " value " << value;
        EXPECT_EQ(columns.Holds(k), inColumn)
            << build << " columns holding " << value << ", column " << k;
        for (int j = 1; j <= 9; ++j) {
          const bool inBox = scan::Portable::Box(grid, k, j, value);
          EXPECT_EQ(Scan::Box(grid, k, j, value), inBox)
              << build << " box of " << k << j << " value " << value;
          const auto units = Scan::UnitsOf(grid, k, j);
          EXPECT_EQ(Scan::Row(units, value), inRow)
              << build << " units of " << k << j << ", row, value " << value;
          EXPECT_EQ(Scan::Column(units, value), scan::Portable::Column(grid, j, value))
              << build << " units of " << k << j << ", column, value " << value;
          EXPECT_EQ(Scan::Box(units, value), inBox)
              << build << " units of " << k << j << ", box, value " << value;
        }
      }
    }
  }
}

TEST(ConstraintTestsTest, EveryBuildGivesTheSameAnswers) {
  ExpectSameAnswersAsPortable<scan::Baseline>("baseline");
#if defined(TARVIK_VECTOR_AVX2)
  if (__builtin_cpu_supports("avx2")) ExpectSameAnswersAsPortable<scan::Avx2>("avx2");
#endif
}

}  // namespace
}  // namespace tarvik
