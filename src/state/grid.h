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
// column j from the left. Each band of three rows is a 32-byte line, its rows nine bytes each one
// after the other, so that a row or a box is one vector load of 32 bytes and a column three (the
// bands):
//
//   band 0   bytes  0- 8: row 1   9-17: row 2   18-26: row 3   27-31: -
//   band 1   bytes 32-40: row 4  41-49: row 5   50-58: row 6   59-63: -
//   band 2   bytes 64-72: row 7  73-81: row 8   82-90: row 9   91-95: -
//
// ("-" is padding, always 0.) Cell (i,j) is byte kRowOffset[i] + kColumnOffset[j]. Readers that
// scan a whole band must mask out the padding bytes.
//
// Earlier layouts kept a row in each 16-byte line (a column test took five 32-byte compares and a
// box three), then a box in each 16-byte line (a row or a column test three 16-byte compares). With
// bands a row test and a box test are one 32-byte compare, and the compare of a cell's band serves
// its row, its box and its column alike.
struct Grid {
  static constexpr std::ptrdiff_t kBandBytes = 32;
  static constexpr std::ptrdiff_t kBytes = 3 * kBandBytes;
  // A band of rows above row i is a line, a row above it within its band nine bytes.
  static constexpr auto kRowOffset = ByRowOrColumn<std::ptrdiff_t>::Of(
      [](int i) { return kBandBytes * BandOf(i) + 9 * std::ptrdiff_t{PlaceInBand(i)}; });
  static constexpr auto kColumnOffset =
      ByRowOrColumn<std::ptrdiff_t>::Of([](int j) { return j - 1; });

  static constexpr std::ptrdiff_t Offset(int i, int j) { return kRowOffset[i] + kColumnOffset[j]; }

  alignas(32) std::int8_t cells[kBytes]{};

  std::int8_t& operator()(int i, int j) {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cells[Offset(i, j)];
  }
  std::int8_t operator()(int i, int j) const {
    assert(i >= 1 && i <= 9 && j >= 1 && j <= 9);
    return cells[Offset(i, j)];
  }
  // The 81 cells in reading order, row by row: each row's nine bytes copied from or into its band.
  void AssignRows(const std::int8_t* rows) {
    for (int i = 1; i <= 9; ++i, rows += 9) std::memcpy(cells + kRowOffset[i], rows, 9);
  }
  void CopyRows(std::int8_t* rows) const {
    for (int i = 1; i <= 9; ++i, rows += 9) std::memcpy(rows, cells + kRowOffset[i], 9);
  }
  friend bool operator==(const Grid&, const Grid&) = default;
};

// The layout above: cell (i,j) is byte 9 * PlaceInBand(i) + j - 1 of band BandOf(i).
static_assert([] {
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) {
      if (Grid::Offset(i, j) != Grid::kBandBytes * BandOf(i) + 9 * PlaceInBand(i) + j - 1) {
        return false;
      }
    }
  }
  return true;
}());

}  // namespace tarvik
