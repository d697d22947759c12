// SPDX-License-Identifier: MIT
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace tarvik {

// Box geometry, the one place it is written down (but for the exact solver, which is built apart
// from everything else and keeps its own). Rows, columns and boxes are numbered 1 to 9,
// boxes row by row. The rows fall into three bands of three, 0 to 2, and so do the columns; the
// boxes of a band of rows are the three that its rows cross.

// The band of row (or column) k, and k's place within it, 0 to 2.
constexpr int BandOf(int k) { return (k - 1) / 3; }
constexpr int PlaceInBand(int k) { return (k - 1) % 3; }
// The first row (or column) of band b: 1, 4 or 7.
constexpr int FirstOfBand(int band) { return 3 * band + 1; }
// The first row (or column) of the band that holds row (or column) k.
constexpr int BandStart(int k) { return FirstOfBand(BandOf(k)); }
// The box that holds cell (row, column).
constexpr int BoxOf(int row, int column) { return 3 * BandOf(row) + BandOf(column) + 1; }
// The first row and the first column of box b.
constexpr int BoxFirstRow(int box) { return FirstOfBand((box - 1) / 3); }
constexpr int BoxFirstColumn(int box) { return FirstOfBand((box - 1) % 3); }
// The place of cell (row, column) in its box, 0 to 8, in the order a box is scanned: its rows
// from the top, each from the left.
constexpr int PlaceInBox(int row, int column) { return 3 * PlaceInBand(row) + PlaceInBand(column); }

// A figure for each row (or each column) 1 to 9, looked up by its number, worked out once from
// f(1) to f(9); entry 0 is not used.
template <typename T>
struct ByRowOrColumn {
  T figure[10]{};

  template <typename F>
  static constexpr ByRowOrColumn Of(F f) {
    ByRowOrColumn table;
    for (int k = 1; k <= 9; ++k) table.figure[k] = static_cast<T>(f(k));
    return table;
  }
  constexpr T operator[](int k) const { return figure[k]; }
};

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
//
// The layout before this one kept a row in each 16-byte line: a row test was one compare, but a
// column took five 32-byte compares and a box three. Every technique asks about all three kinds
// of unit; this layout, with the loops around the tests unrolled, took the heavy case of
// bench/RESULTS.md from 161 to 108 million instructions.
struct Grid {
  static constexpr std::ptrdiff_t kLineBytes = 16;
  static constexpr std::ptrdiff_t kBytes = 9 * kLineBytes;
  // From a box's line to that of the box to its right, and to that of the box below it.
  static constexpr std::ptrdiff_t kBoxAcross = kLineBytes;
  static constexpr std::ptrdiff_t kBoxDown = 3 * kLineBytes;
  // A band of rows above row i is three lines, a row above it within its band three bytes.
  static constexpr auto kRowOffset = ByRowOrColumn<std::ptrdiff_t>::Of(
      [](int i) { return kBoxDown * BandOf(i) + 3 * std::ptrdiff_t{PlaceInBand(i)}; });
  // A band of columns left of column j is one line, a column left of it within its band a byte.
  static constexpr auto kColumnOffset = ByRowOrColumn<std::ptrdiff_t>::Of(
      [](int j) { return kBoxAcross * BandOf(j) + PlaceInBand(j); });

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
        std::memcpy(cells + kRowOffset[i] + piece * kBoxAcross, rows + 3 * piece, 3);
      }
    }
  }
  void CopyRows(std::int8_t* rows) const {
    for (int i = 1; i <= 9; ++i, rows += 9) {
      for (std::ptrdiff_t piece = 0; piece < 3; ++piece) {
        std::memcpy(rows + 3 * piece, cells + kRowOffset[i] + piece * kBoxAcross, 3);
      }
    }
  }
  friend bool operator==(const Grid&, const Grid&) = default;
};

// The layout above, in terms of the geometry: cell (i,j) is byte PlaceInBox(i,j) of the line of
// box BoxOf(i,j).
static_assert([] {
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      if (Grid::Offset(i, j) != Grid::kLineBytes * (BoxOf(i, j) - 1) + PlaceInBox(i, j)) {
        return false;
      }
    }
  }
  return true;
}());

}  // namespace tarvik
