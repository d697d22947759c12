// SPDX-License-Identifier: MIT
#pragma once

#include "state/grid.h"
#include "state/vector_paths.h"

#if defined(TARVIK_VECTOR_SSE2)
#include <immintrin.h>
#endif

namespace tarvik {

// The number of empty cells of a grid, cell by cell.
inline int EmptyCellsPortable(const Grid& grid) {
  int count = 0;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) count += grid(i, j) == 0;
  }
  return count;
}

#if defined(TARVIK_VECTOR_SSE2)
// The same, a band at a time in two halves: one byte per cell, 1 where it is empty, summed over the
// three bands; the padding bytes, the last five of each band, are masked out.
inline int EmptyCellsSse2(const Grid& grid) {
  const __m128i zero = _mm_setzero_si128();
  const __m128i low = _mm_set1_epi8(1);
  const __m128i high = _mm_setr_epi8(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0);
  const auto* halves = reinterpret_cast<const __m128i*>(grid.cells);
  __m128i sum = zero;
  for (int band = 0; band < 3; ++band) {
    sum = _mm_add_epi8(sum,
                       _mm_and_si128(_mm_cmpeq_epi8(_mm_load_si128(halves + 2 * band), zero), low));
    sum = _mm_add_epi8(
        sum, _mm_and_si128(_mm_cmpeq_epi8(_mm_load_si128(halves + 2 * band + 1), zero), high));
  }
  const __m128i sums = _mm_sad_epu8(sum, zero);
  return _mm_cvtsi128_si32(sums) + _mm_extract_epi16(sums, 4);
}
#endif

// The build for this machine.
inline int EmptyCells(const Grid& grid) {
#if defined(TARVIK_VECTOR_SSE2)
  return EmptyCellsSse2(grid);
#else
  return EmptyCellsPortable(grid);
#endif
}

}  // namespace tarvik
