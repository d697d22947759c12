// SPDX-License-Identifier: MIT
#include "batch/cells.h"

#include "control/grid_repeats.h"

#if defined(TARVIK_VECTOR_SSE2)
#include <immintrin.h>
#endif

namespace tarvik::batch {

std::optional<std::string> FirstRepeat(const std::int8_t* cells, const Grid& start) {
  std::uint32_t columns[10] = {};
  std::uint32_t boxes[3] = {};  // of the band of rows under way
  std::uint32_t repeats = 0;
  for (int r = 1; r <= 9; ++r) {
    if (PlaceInBand(r) == 0) boxes[0] = boxes[1] = boxes[2] = 0;
    std::uint32_t row = 0;
    for (int c = 1; c <= 9; ++c) {
      const std::uint32_t bit = (1u << cells[9 * (r - 1) + c - 1]) & ~1u;  // none if empty
      std::uint32_t& box = boxes[BandOf(c)];
      repeats |= (row | columns[c] | box) & bit;
      row |= bit;
      columns[c] |= bit;
      box |= bit;
    }
  }
  if (repeats == 0) return std::nullopt;
  const auto read = [&](int i, int j) { return static_cast<int>(start(i, j)); };
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      if (auto repeat = RepeatMessage(read, r, c, start(r, c))) return repeat;
    }
  }
  return std::nullopt;
}

bool ToCellsPortable(const char* field, std::int8_t* cells, char* digits) {
  bool all = true;
  for (int k = 0; k < 81; ++k) {
    const char c = field[k];
    all &= IsCell(c);
    const auto value = static_cast<unsigned char>(c) - unsigned{'0'};
    cells[k] = static_cast<std::int8_t>(value <= 9 ? value : 0);
    digits[k] = static_cast<char>('0' + cells[k]);
  }
  return all;
}

#if defined(TARVIK_VECTOR_SSE2)
bool ToCellsSse2(const char* field, std::int8_t* cells, char* digits) {
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i lower = _mm_set1_epi8(0x20);
  int bad = 0;
  for (int k = 0; k < 96; k += 16) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(field + k));
    const __m128i digit = _mm_sub_epi8(in, zero);
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, nine), digit);
    // x and X are one compare once lower-cased; '.', '*', '_' and '-' one each.
    const __m128i marks =
        _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(_mm_or_si128(in, lower), _mm_set1_epi8('x')),
                                  _mm_cmpeq_epi8(in, _mm_set1_epi8('.'))),
                     _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(in, _mm_set1_epi8('*')),
                                               _mm_cmpeq_epi8(in, _mm_set1_epi8('_'))),
                                  _mm_cmpeq_epi8(in, _mm_set1_epi8('-'))));
    // Only the first 81 bytes count: of the last vector, its first byte.
    const int counted = k == 80 ? 0x0001 : 0xFFFF;
    bad |= (_mm_movemask_epi8(_mm_or_si128(isDigit, marks)) ^ 0xFFFF) & counted;
    const __m128i value = _mm_and_si128(digit, isDigit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + k), value);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(digits + k), _mm_add_epi8(value, zero));
  }
  return bad == 0;
}
#endif

bool ToCells(const char* field, std::int8_t* cells, char* digits) {
#if defined(TARVIK_VECTOR_SSE2)
  return ToCellsSse2(field, cells, digits);
#else
  return ToCellsPortable(field, cells, digits);
#endif
}

}  // namespace tarvik::batch
