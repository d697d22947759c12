// SPDX-License-Identifier: MIT
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarvik {

// Box geometry, the one place it is written down. Boxes are numbered 1 to 9 row by row; the first
// row (or column) of the band of boxes that holds row (or column) k is kBandStart[k]: 1, 4 or 7.
inline constexpr std::int8_t kBandStart[10] = {0, 1, 1, 1, 4, 4, 4, 7, 7, 7};
// The box that holds cell (row, column), 1 to 9.
constexpr int BoxOf(int row, int column) { return kBandStart[row] + (kBandStart[column] - 1) / 3; }

// A 9 x 9 grid of cells 0 to 9 (0 is empty), indexed from 1 as G(i,j): row i from the top,
// column j from the left. Each 3 x 3 box is a 16-byte line, so that a box is one vector load and
// a row or a column three (the three boxes of its band):
//
//   line 0 (box 1)   bytes  0- 8: (1,1)(1,2)(1,3) (2,1)(2,2)(2,3) (3,1)(3,2)(3,3)   9-15: -
//   line 1 (box 2)   bytes 16-24: (1,4)(1,5)(1,6) (2,4)(2,5)(2,6) (3,4)(3,5)(3,6)  25-31: -
//   line 2 (box 3)   bytes 32-40: (1,7) ...                                 (3,9)  41-47: -
//   line 3 (box 4)   bytes 48-56: (4,1) ...                                 (6,3)  57-63: -
//   ...
//   line 8 (box 9)   bytes 128-136: (7,7) ...                               (9,9) 137-143: -
//
// ("-" is padding, always 0.) Cell (i,j) is byte kRowOffset[i] + kColumnOffset[j]; that offset
// rounded down to a multiple of 16 starts its box's line, and its low four bits, 0 to 8, are its
// place in the box. Readers that scan a whole line must mask out the padding bytes.
struct Grid {
  static constexpr std::ptrdiff_t kLineBytes = 16;
  static constexpr std::ptrdiff_t kBytes = 9 * kLineBytes;
  // 48 per band of rows above row i, 3 per row above it within its band.
  static constexpr std::ptrdiff_t kRowOffset[10] = {0, 0, 3, 6, 48, 51, 54, 96, 99, 102};
  // 16 per band of columns left of column j, 1 per column left of it within its band.
  static constexpr std::ptrdiff_t kColumnOffset[10] = {0, 0, 1, 2, 16, 17, 18, 32, 33, 34};

  static constexpr std::ptrdiff_t Offset(int i, int j) { return kRowOffset[i] + kColumnOffset[j]; }

  alignas(16) std::int8_t cells[kBytes]{};

  std::int8_t& operator()(int i, int j) {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cells[Offset(i, j)];
  }
  std::int8_t operator()(int i, int j) const {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cells[Offset(i, j)];
  }
  // The 81 cells in reading order, row by row: a row's three pieces of three cells each, copied
  // from or into the lines of its band's boxes.
  void AssignRows(const std::int8_t* rows) {
    for (int i = 1; i <= 9; ++i, rows += 9) {
      for (std::ptrdiff_t piece = 0; piece < 3; ++piece) {
        std::memcpy(cells + kRowOffset[i] + piece * kLineBytes, rows + 3 * piece, 3);
      }
    }
  }
  void CopyRows(std::int8_t* rows) const {
    for (int i = 1; i <= 9; ++i, rows += 9) {
      for (std::ptrdiff_t piece = 0; piece < 3; ++piece) {
        std::memcpy(rows + 3 * piece, cells + kRowOffset[i] + piece * kLineBytes, 3);
      }
    }
  }
  friend bool operator==(const Grid&, const Grid&) = default;
};

}  // namespace tarvik
