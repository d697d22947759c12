#pragma once

#include <cstddef>
#include <cstdint>

#include "state/grid.h"

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace tarvik {

// Whole-grid scans: is a value in a row, a column or a box of a grid, and how many cells are empty.
// They are the innermost loops of every technique, so they come in builds for three instruction
// sets, all giving the same answer for every grid and value: cell by cell (anywhere), whole
// 16-byte rows at a time (SSE2, every x86-64), and two rows at a time for the column (AVX2).
namespace scan {

// The same first row as the offset of its line in a Grid, so that the box test needs no arithmetic.
inline constexpr std::ptrdiff_t kBandLine[10] = {0, 16, 16, 16, 64, 64, 64, 112, 112, 112};

struct Portable {
  static bool Row(const Grid& s, int row, int value) {
    bool found = false;
    for (int k = 1; k <= 9; ++k) found |= s.cell[row][k] == value;
    return found;
  }
  static bool Column(const Grid& s, int column, int value) {
    bool found = false;
    for (int k = 1; k <= 9; ++k) found |= s.cell[k][column] == value;
    return found;
  }
  static bool Box(const Grid& s, int row, int column, int value) {
    const int r0 = kBandStart[row];
    const int c0 = kBandStart[column];
    bool found = false;
    for (int r = r0; r <= r0 + 2; ++r) {
      for (int c = c0; c <= c0 + 2; ++c) found |= s.cell[r][c] == value;
    }
    return found;
  }
  // The number of empty cells in the grid.
  static int EmptyCells(const Grid& s) {
    int count = 0;
    for (int i = 1; i <= 9; ++i) {
      for (int j = 1; j <= 9; ++j) count += s.cell[i][j] == 0;
    }
    return count;
  }
};

#if defined(__SSE2__)
struct Sse2 {
  // Byte k of the result is all ones where byte k of row `row` equals the value in `v`.
  static __m128i Matches(const Grid& s, int row, __m128i v) {
    return _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(s.cell[row])), v);
  }
  // The same for the line that starts `offset` bytes into the grid. The offset is taken from the
  // grid's first byte as a whole, not from row 0, whose 16 bytes it runs past.
  static __m128i MatchesAt(const Grid& s, std::ptrdiff_t offset, __m128i v) {
    return _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(
                              reinterpret_cast<const char*>(s.cell) + offset)),
                          v);
  }
  // Bit k of the result is bit 7 of byte k; bits 1 to 9 are the cells of a row.
  static unsigned Bits(__m128i matches) {
    return static_cast<unsigned>(_mm_movemask_epi8(matches));
  }
  // Values outside 0 to 9 are in no cell; they are kept out of the 8-bit compare.
  static bool InCellRange(int value) { return value >= 0 && value <= 9; }
  static __m128i Splat(int value) { return _mm_set1_epi8(static_cast<char>(value)); }

  static bool Row(const Grid& s, int row, int value) {
    return InCellRange(value) && (Bits(Matches(s, row, Splat(value))) & 0x3FEu) != 0;
  }
  static bool Column(const Grid& s, int column, int value) {
    if (!InCellRange(value)) return false;
    const __m128i v = Splat(value);
    __m128i any = Matches(s, 1, v);
    for (int k = 2; k <= 9; ++k) any = _mm_or_si128(any, Matches(s, k, v));
    return ((Bits(any) >> column) & 1u) != 0;
  }
  static bool Box(const Grid& s, int row, int column, int value) {
    if (!InCellRange(value)) return false;
    const std::ptrdiff_t first = kBandLine[row];
    const __m128i v = Splat(value);
    const __m128i rows =
        _mm_or_si128(_mm_or_si128(MatchesAt(s, first, v), MatchesAt(s, first + 16, v)),
                     MatchesAt(s, first + 32, v));
    return ((Bits(rows) >> kBandStart[column]) & 7u) != 0;
  }
  static int EmptyCells(const Grid& s) {
    // One byte per cell, 1 where it is empty, summed over the rows; the padding bytes are masked.
    const __m128i cells = _mm_setr_epi8(0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0);
    __m128i sum = _mm_setzero_si128();
    for (int k = 1; k <= 9; ++k) {
      sum = _mm_add_epi8(sum, _mm_and_si128(Matches(s, k, _mm_setzero_si128()), cells));
    }
    const __m128i halves = _mm_sad_epu8(sum, _mm_setzero_si128());
    return _mm_cvtsi128_si32(halves) + _mm_extract_epi16(halves, 4);
  }
};
using Baseline = Sse2;
#else
using Baseline = Portable;
#endif

#if defined(__x86_64__) && defined(__GNUC__)
#define TARVIK_HAVE_AVX2_SCAN 1
// Only what runs inside the AVX2 build of the passes (see technique_step.h) may call these.
struct Avx2 : Sse2 {
  // Bytes k and 16 + k of the result are all ones where rows `first` and `first` + 1 hold `v`.
  __attribute__((target("avx2"))) static __m256i Matches2(const Grid& s, int first, __m256i v) {
    return _mm256_cmpeq_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.cell[first])),
                             v);
  }
  // Rows 1-2, 3-4, 5-6, 7-8 and 8-9 in five 32-byte compares (row 8 twice does no harm).
  __attribute__((target("avx2"))) static bool Column(const Grid& s, int column, int value) {
    if (!InCellRange(value)) return false;
    const __m256i v = _mm256_set1_epi8(static_cast<char>(value));
    const __m256i any =
        _mm256_or_si256(_mm256_or_si256(_mm256_or_si256(Matches2(s, 1, v), Matches2(s, 3, v)),
                                        _mm256_or_si256(Matches2(s, 5, v), Matches2(s, 7, v))),
                        Matches2(s, 8, v));
    const auto bits = static_cast<unsigned>(_mm256_movemask_epi8(any));
    return (((bits | (bits >> 16)) >> column) & 1u) != 0;
  }
};
#endif

}  // namespace scan

}  // namespace tarvik
