// SPDX-License-Identifier: MIT
#include "report/grid_listing.h"

#include <bit>
#include <cstring>
#include <span>

#if defined(TARVIK_VECTOR_SSE2)
#include <immintrin.h>
#endif

#include "report/layout_internal.h"

namespace tarvik::layout {

// The row is nine neighbouring bytes of its band (state/grid.h).
void RowValuesPortable(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row) {
  const std::int8_t* first = grid.cells + Grid::Offset(i, 1);
  for (std::size_t k = 0; k < 9; ++k) row[k] = first[k];
}

#if defined(TARVIK_VECTOR_SSE2)
void RowValuesSse2(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row) {
  // Twelve bytes from the row's first cell, its nine cells and three more (the last row's twelve
  // end within its band), widened with their signs to three vectors of four values.
  std::int32_t bytes12[4] = {};
  std::memcpy(bytes12, grid.cells + Grid::Offset(i, 1), 12);
  const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes12));
  const __m128i zero = _mm_setzero_si128();
  const __m128i words01 = _mm_unpacklo_epi8(bytes, _mm_cmpgt_epi8(zero, bytes));
  const __m128i words2 = _mm_unpackhi_epi8(bytes, _mm_cmpgt_epi8(zero, bytes));
  const __m128i signs01 = _mm_cmpgt_epi16(zero, words01);
  const auto at = [&row](std::size_t k) { return reinterpret_cast<__m128i*>(row.data() + k); };
  _mm_storeu_si128(at(0), _mm_unpacklo_epi16(words01, signs01));
  _mm_storeu_si128(at(4), _mm_unpackhi_epi16(words01, signs01));
  _mm_storeu_si128(at(8), _mm_unpacklo_epi16(words2, _mm_cmpgt_epi16(zero, words2)));
}
#endif

void RowValues(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row) {
#if defined(TARVIK_VECTOR_SSE2)
  RowValuesSse2(grid, i, row);
#else
  RowValuesPortable(grid, i, row);
#endif
}

namespace {

// Row by row through the MATRIXROW layout, for cells of any value.
char* LayOutRows(const Grid& grid, char* out) {
  for (int i = 1; i <= 9; ++i) {
    std::array<std::int32_t, kRowValues> row;
    RowValues(grid, i, row);
    out = LayOutOf<LineKind::MATRIXROW>(std::span<const std::int32_t>(row.data(), 9), out);
  }
  return out;
}

// Whether every byte of the grid, padding included, is 0 to 9, eight at a time. Adding 0x76 sets
// the top bit of a byte from 10 to 0x7F; a byte of 0x80 up has it already. (A carry out of a byte
// of 0x8A up may change the next byte's sum, but that byte has told already.)
bool AllDigits(const Grid& grid) {
  std::uint64_t seen = 0;
  for (std::size_t k = 0; k < sizeof grid.cells; k += 8) {
    std::uint64_t bytes;
    std::memcpy(&bytes, grid.cells + k, 8);
    seen |= bytes | (bytes + 0x7676767676767676u);
  }
  return (seen & 0x8080808080808080u) == 0;
}

// Eight bytes of text as one little-endian word.
constexpr std::uint64_t Word(const char (&text)[9]) {
  std::uint64_t word = 0;
  for (int k = 7; k >= 0; --k) word = word << 8 | static_cast<unsigned char>(text[k]);
  return word;
}

}  // namespace

char* LayOutGridPortable(const Grid& grid, char* out) {
  if constexpr (std::endian::native != std::endian::little) {
    return LayOutRows(grid, out);
  } else {
    if (!AllDigits(grid)) return LayOutRows(grid, out);
    // A row is three pieces "  a  b  c" of three neighbouring cells each. Bytes 1 to 8 of a
    // piece are one word: the cells a, b, c (the low three bytes of a load from the row)
    // multiplied apart to bytes 1, 4 and 7 (no two products meet in those bytes), then made
    // digits.
    constexpr std::uint64_t kSpread = (1ull << 8) | (1ull << 24) | (1ull << 40);
    constexpr std::uint64_t kCells = 0xFF0000FF0000FF00u;
    constexpr std::uint64_t kText = Word(" 0  0  0");
    for (int i = 1; i <= 9; ++i) {
      const std::int8_t* first = grid.cells + Grid::Offset(i, 1);
      for (std::ptrdiff_t piece = 0; piece < 3; ++piece) {
        std::uint32_t cells = 0;
        std::memcpy(&cells, first + 3 * piece, 3);
        const std::uint64_t text = ((cells & 0xFFFFFFu) * kSpread & kCells) | kText;
        out[9 * piece] = ' ';
        std::memcpy(out + 9 * piece + 1, &text, 8);
      }
      out[27] = '\n';
      out += kGridRowBytes;
    }
    return out;
  }
}

#if defined(TARVIK_VECTOR_AVX2)
namespace {

// A band's three rows (84 bytes, taken as three times 32): the text with '0' where each digit
// goes, and for each half of the band the place in it of the cell shown at each byte, 0x80 where
// it shows none (a shuffle gives 0 there). Every band has the same shape.
struct BandShape {
  alignas(32) std::uint8_t text[96];
  alignas(32) std::uint8_t place[2][96];
};

constexpr BandShape MakeBandShape() {
  constexpr std::size_t kFieldBytes = 3;  // of a MATRIXROW field
  BandShape shape{};
  for (std::size_t k = 0; k < 96; ++k) {
    const std::size_t row = k / kGridRowBytes;
    const std::size_t at = k % kGridRowBytes;
    shape.text[k] = ' ';
    for (auto& half : shape.place) half[k] = 0x80;
    if (row >= 3) continue;  // past the band: the next band or write overwrites it
    if (at == kGridRowBytes - 1) {
      shape.text[k] = '\n';
    } else if (at % kFieldBytes == kFieldBytes - 1) {       // a field's digit, its last byte
      const std::size_t cell = 9 * row + at / kFieldBytes;  // its byte in the band
      shape.text[k] = '0';
      shape.place[cell / 16][k] = static_cast<std::uint8_t>(cell % 16);
    }
  }
  return shape;
}

constexpr BandShape kBandShape = MakeBandShape();

}  // namespace

__attribute__((target("avx2"))) char* LayOutGridAvx2(const Grid& grid, char* out) {
  const auto* halves = reinterpret_cast<const __m128i*>(grid.cells);
  __m128i highest = _mm_load_si128(halves);
  for (int k = 1; k < 6; ++k) highest = _mm_max_epu8(highest, _mm_load_si128(halves + k));
  if (!_mm_testz_si128(_mm_subs_epu8(highest, _mm_set1_epi8(9)), _mm_set1_epi8(-1))) {
    return LayOutRows(grid, out);
  }
  const auto* text = reinterpret_cast<const __m256i*>(kBandShape.text);
  const auto* place0 = reinterpret_cast<const __m256i*>(kBandShape.place[0]);
  const auto* place1 = reinterpret_cast<const __m256i*>(kBandShape.place[1]);
  for (std::size_t band = 0; band < 3; ++band) {
    const __m256i low = _mm256_broadcastsi128_si256(_mm_load_si128(halves + 2 * band));
    const __m256i high = _mm256_broadcastsi128_si256(_mm_load_si128(halves + 2 * band + 1));
    auto* to = reinterpret_cast<__m256i*>(out + 3 * kGridRowBytes * band);
    for (std::size_t k = 0; k < 3; ++k) {
      const __m256i digits =
          _mm256_or_si256(_mm256_shuffle_epi8(low, _mm256_load_si256(place0 + k)),
                          _mm256_shuffle_epi8(high, _mm256_load_si256(place1 + k)));
      _mm256_storeu_si256(to + k, _mm256_or_si256(_mm256_load_si256(text + k), digits));
    }
  }
  return out + kGridBytes;
}
#endif

namespace {

auto ChooseGridLayOut() {
#if defined(TARVIK_VECTOR_AVX2)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return &LayOutGridAvx2;
#endif
  return &LayOutGridPortable;
}

}  // namespace

char* (*const LayOutGrid)(const Grid& grid, char* out) = ChooseGridLayOut();

}  // namespace tarvik::layout
