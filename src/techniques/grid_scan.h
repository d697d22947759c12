// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/grid.h"
#include "state/vector_paths.h"

#if defined(TARVIK_VECTOR_SSE2)
#include <immintrin.h>
#endif

namespace tarvik {

// Whole-grid scans: is a value in a row, a column or a box of a grid. They are the innermost loops
// of every technique, so they come in builds for three instruction sets, all giving the same
// answer for every grid and value: cell by cell (anywhere), whole boxes of 16 bytes at a time
// (SSE2, every x86-64), and the same inside the AVX2 build of the passes (state/vector_paths.h
// says which are built).
namespace scan {

struct Portable {
  static bool Row(const Grid& s, int row, int value) {
    bool found = false;
    for (int k = 1; k <= 9; ++k) found |= s(row, k) == value;
    return found;
  }
  static bool Column(const Grid& s, int column, int value) {
    bool found = false;
    for (int k = 1; k <= 9; ++k) found |= s(k, column) == value;
    return found;
  }
  static bool Box(const Grid& s, int row, int column, int value) {
    const int r0 = BandStart(row);
    const int c0 = BandStart(column);
    bool found = false;
    for (int r = r0; r <= r0 + 2; ++r) {
      for (int c = c0; c <= c0 + 2; ++c) found |= s(r, c) == value;
    }
    return found;
  }
};

#if defined(TARVIK_VECTOR_SSE2)
// Each box is one line of the grid (state/grid.h): a box test is one compare, a row or column
// test three, the boxes of its band. Bit k of a line's match mask is byte k of the line, the cell
// at place k of the box; a row takes three neighbouring places of each box, a column every third.
// Every address and mask comes from a table indexed by row or column, so that a loop over cells
// looks each up once.
struct Sse2 {
  // The line of the first box of the band that holds row i (or column j), as a byte offset.
  static constexpr auto kRowLine =
      ByRowOrColumn<std::ptrdiff_t>::Of([](int i) { return Grid::Offset(BandStart(i), 1); });
  static constexpr auto kColumnLine =
      ByRowOrColumn<std::ptrdiff_t>::Of([](int j) { return Grid::Offset(1, BandStart(j)); });
  // The places of row i (or column j) within each box of its band.
  static constexpr auto kRowPlaces = ByRowOrColumn<unsigned>::Of([](int i) {
    unsigned places = 0;
    for (int j = 1; j <= 3; ++j) places |= 1u << PlaceInBox(i, j);
    return places;
  });
  static constexpr auto kColumnPlaces = ByRowOrColumn<unsigned>::Of([](int j) {
    unsigned places = 0;
    for (int i = 1; i <= 3; ++i) places |= 1u << PlaceInBox(i, j);
    return places;
  });
  static constexpr unsigned kBoxPlaces = 0x1FF;  // places 0 to 8: the whole box
  // Each value 0 to 9 in all 16 bytes.
  alignas(16) static constexpr std::int8_t kSplat[10][16] = {
      {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
      {1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1},
      {2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2},
      {3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3},
      {4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4, 4},
      {5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5, 5},
      {6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6, 6},
      {7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7},
      {8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8},
      {9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9}};

  // Byte k of the result is all ones where byte k of the line at `offset` (a multiple of 16)
  // equals the value in `v`.
  static __m128i Matches(const Grid& s, std::ptrdiff_t offset, __m128i v) {
    return _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(s.cells + offset)), v);
  }
  static unsigned Bits(__m128i matches) {
    return static_cast<unsigned>(_mm_movemask_epi8(matches));
  }
  // Values outside 0 to 9 are in no cell; they are kept out of the 8-bit compare.
  static bool InCellRange(int value) { return value >= 0 && value <= 9; }
  static __m128i Splat(int value) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(kSplat[value]));
  }

  static bool Row(const Grid& s, int row, int value) {
    if (!InCellRange(value)) return false;
    const std::ptrdiff_t first = kRowLine[row];
    const __m128i v = Splat(value);
    const __m128i band =
        _mm_or_si128(_mm_or_si128(Matches(s, first, v), Matches(s, first + Grid::kBoxAcross, v)),
                     Matches(s, first + 2 * Grid::kBoxAcross, v));
    return (Bits(band) & kRowPlaces[row]) != 0;
  }
  static bool Column(const Grid& s, int column, int value) {
    if (!InCellRange(value)) return false;
    const std::ptrdiff_t first = kColumnLine[column];
    const __m128i v = Splat(value);
    const __m128i band =
        _mm_or_si128(_mm_or_si128(Matches(s, first, v), Matches(s, first + Grid::kBoxDown, v)),
                     Matches(s, first + 2 * Grid::kBoxDown, v));
    return (Bits(band) & kColumnPlaces[column]) != 0;
  }
  static bool Box(const Grid& s, int row, int column, int value) {
    if (!InCellRange(value)) return false;
    const std::ptrdiff_t line = kRowLine[row] + kColumnLine[column];
    return (Bits(Matches(s, line, Splat(value))) & kBoxPlaces) != 0;
  }
};
using Baseline = Sse2;
#else
using Baseline = Portable;
#endif

#if defined(TARVIK_VECTOR_AVX2)
// The same scans, for the AVX2 build of the passes (see pass_build.h): compiled inside it, they
// get the three-operand encodings, so that the value's splat is compared without a copy each time.
struct Avx2 : Sse2 {};
#endif

}  // namespace scan

}  // namespace tarvik
