#pragma once

#include <cassert>
#include <cstdint>

namespace tarvik {

// Box geometry, the one place it is written down. Boxes are numbered 1 to 9 row by row; the first
// row (or column) of the band of boxes that holds row (or column) k is kBandStart[k]: 1, 4 or 7.
inline constexpr std::int8_t kBandStart[10] = {0, 1, 1, 1, 4, 4, 4, 7, 7, 7};
// The box that holds cell (row, column), 1 to 9.
constexpr int BoxOf(int row, int column) { return kBandStart[row] + (kBandStart[column] - 1) / 3; }

// A 9 x 9 grid of cells 0 to 9 (0 is empty), indexed from 1 as G(i,j): row i from the top,
// column j from the left. Each row is a 16-byte line so that one row is one vector load:
//
//   byte:   0   1   2  ...  9   10 ... 15
//   row i:  -  (i,1)(i,2) (i,9)  -  ...  -      ("-" is padding, always 0; row 0 is unused)
//
// Readers that scan a whole line must mask out the padding bytes.
struct Grid {
  alignas(16) std::int8_t cell[10][16]{};

  std::int8_t& operator()(int i, int j) {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cell[i][j];
  }
  std::int8_t operator()(int i, int j) const {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cell[i][j];
  }
  friend bool operator==(const Grid&, const Grid&) = default;
};

}  // namespace tarvik
