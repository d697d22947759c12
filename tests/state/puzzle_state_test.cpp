// SPDX-License-Identifier: MIT
#include "state/puzzle_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "state/empty_cells.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

TEST(PuzzleStateTest, FreshStateIsZeroButForTheBoxTables) {
  const PuzzleState st;
  EXPECT_EQ(st.LEVEL, 0);
  EXPECT_EQ(st.NSTART, 0);
  EXPECT_EQ(st.STEP, 0);
  for (int k = 1; k <= 100; ++k) EXPECT_EQ(st.UNKNOWNS(k), 0);
  EXPECT_EQ(st.S, Grid{});
  const int rows[] = {1, 1, 1, 4, 4, 4, 7, 7, 7};
  const int columns[] = {1, 4, 7, 1, 4, 7, 1, 4, 7};
  for (int b = 1; b <= 9; ++b) {
    EXPECT_EQ(PuzzleState::BOXROW(b), rows[b - 1]);
    EXPECT_EQ(PuzzleState::BOXCOL(b), columns[b - 1]);
  }
}

TEST(GridTest, EachCellHasItsOwnByteInItsBand) {
  Grid grid;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) grid(i, j) = static_cast<std::int8_t>(10 * i + j);
  }
  int cells = 0;
  for (std::ptrdiff_t band = 0; band < 3; ++band) {
    for (std::ptrdiff_t k = 0; k < Grid::kBandBytes; ++k) {
      const int byte = grid.cells[Grid::kBandBytes * band + k];
      if (k >= 27) {
        EXPECT_EQ(byte, 0) << "padding of band " << band;
        continue;
      }
      // Band b holds rows 3b + 1 to 3b + 3, nine bytes each, from the left.
      const int i = byte / 10;
      const int j = byte % 10;
      EXPECT_EQ(BandOf(i), band) << i << j;
      EXPECT_EQ(9 * PlaceInBand(i) + j - 1, k) << i << j;
      ++cells;
    }
  }
  EXPECT_EQ(cells, 81);
}

// Every cell alone empty, and alone filled, so that each byte of each band is counted once
// and no padding byte is; and the empty and the full grid.
TEST(GridTest, EveryBuildCountsEachEmptyCellOnce) {
  struct Case {
    Grid grid;
    int empty;
  };
  std::vector<Case> cases{{Grid{}, 81}};
  Grid full;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) full(i, j) = static_cast<std::int8_t>((i + j) % 9 + 1);
  }
  cases.push_back({full, 0});
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      Case hole{full, 1};
      hole.grid(i, j) = 0;
      cases.push_back(hole);
      Case given{Grid{}, 80};
      given.grid(i, j) = 9;
      cases.push_back(given);
    }
  }
  for (std::size_t k = 0; k < cases.size(); ++k) {
    EXPECT_EQ(EmptyCellsPortable(cases[k].grid), cases[k].empty) << "grid " << k;
#if defined(TARVIK_VECTOR_SSE2)
    EXPECT_EQ(EmptyCellsSse2(cases[k].grid), cases[k].empty) << "grid " << k;
#endif
  }
}

TEST(PuzzleStateTest, SetStartCopiesEveryCellAndLeavesIAndJAtTen) {
  PuzzleState st;
  st.SSTART = testing::GridOf(
      "100000000 020000000 003000000 000400000 000050000 000006000 000000700 000000080 "
      "000000009");
  st.S = testing::GridOf(
      "123456789 123456789 123456789 123456789 123456789 123456789 123456789 123456789 "
      "123456789");
  st.I = 3;
  st.J = -4;
  SETSTART(st);
  EXPECT_EQ(testing::DigitsOf(st.S), testing::DigitsOf(st.SSTART));
  EXPECT_EQ(st.I, 10);
  EXPECT_EQ(st.J, 10);
}

}  // namespace
}  // namespace tarvik
