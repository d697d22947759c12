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
// answer for every grid and value: cell by cell (anywhere), bands as two halves of 16 bytes
// (SSE2, every x86-64), and bands of 32 bytes in the AVX2 build of the passes
// (state/vector_paths.h says which are built).
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

  // Cell by cell there is nothing to share: each column is looked at when it is asked about.
  struct ColumnsHolding {
    const Grid& s;
    int value;
    bool Holds(int column) const { return Column(s, column, value); }
  };
  static ColumnsHolding ColumnsWith(const Grid& s, int value) { return {s, value}; }
};

// Where the units lie in a band (state/grid.h): bit k of a band's match mask is byte k of the
// band. Row i is nine neighbouring bits of its band, the box of column j three times three bits
// nine apart, column j one bit in each row of every band.
struct BandMasks {
  static constexpr auto kRowBand =
      ByRowOrColumn<std::ptrdiff_t>::Of([](int i) { return Grid::kBandBytes * BandOf(i); });
  static constexpr auto kRowPlaces =
      ByRowOrColumn<std::uint32_t>::Of([](int i) { return 0x1FFu << (9 * PlaceInBand(i)); });
  static constexpr auto kBoxPlaces = ByRowOrColumn<std::uint32_t>::Of(
      [](int j) { return 0x1C0E07u << (3 * BandOf(j)); });  // 0b111 at bits 0, 9 and 18
  static constexpr auto kColumnPlaces = ByRowOrColumn<std::uint32_t>::Of(
      [](int j) { return 0x40201u << (j - 1); });  // bits 0, 9 and 18
  // Values outside 0 to 9 are in no cell; they are kept out of the 8-bit compare.
  static bool InCellRange(int value) { return value >= 0 && value <= 9; }

  // The columns that hold a value, from one compare of the three bands with it: bit j - 1 + 9r
  // is set where row r of some band holds it in column j. Several column tests with no fill
  // between them share it.
  struct ColumnsHolding {
    std::uint32_t bits;
    bool Holds(int column) const { return (bits & kColumnPlaces[column]) != 0; }
  };
};

// Each value 0 to 9 in all 32 bytes (pass_build.cpp), so that a compare with a constant value
// takes its splat straight from memory. Defined apart so that the compiler does not rebuild the
// splat in a register from the known bytes (two instructions more each time).
struct Splats {
  alignas(32) std::int8_t value[10][32];
};
extern const Splats kSplat;

#if defined(TARVIK_VECTOR_SSE2)
// A band is two 16-byte halves: a test compares both and joins their match masks, a column test
// after joining the halves of the three bands.
struct Sse2 : BandMasks {
  static __m128i Matches(const Grid& s, std::ptrdiff_t offset, __m128i v) {
    return _mm_cmpeq_epi8(_mm_load_si128(reinterpret_cast<const __m128i*>(s.cells + offset)), v);
  }
  static std::uint32_t Bits(__m128i low, __m128i high) {
    return static_cast<std::uint32_t>(_mm_movemask_epi8(low)) |
           static_cast<std::uint32_t>(_mm_movemask_epi8(high)) << 16;
  }
  static std::uint32_t BandBits(const Grid& s, std::ptrdiff_t band, int value) {
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(kSplat.value[value]));
    return Bits(Matches(s, band, v), Matches(s, band + 16, v));
  }

  static bool Row(const Grid& s, int row, int value) {
    if (!InCellRange(value)) return false;
    return (BandBits(s, kRowBand[row], value) & kRowPlaces[row]) != 0;
  }
  static ColumnsHolding ColumnsWith(const Grid& s, int value) {
    if (!InCellRange(value)) return {0};
    const __m128i v = _mm_load_si128(reinterpret_cast<const __m128i*>(kSplat.value[value]));
    const __m128i low =
        _mm_or_si128(_mm_or_si128(Matches(s, 0, v), Matches(s, 32, v)), Matches(s, 64, v));
    const __m128i high =
        _mm_or_si128(_mm_or_si128(Matches(s, 16, v), Matches(s, 48, v)), Matches(s, 80, v));
    return {Bits(low, high)};
  }
  static bool Column(const Grid& s, int column, int value) {
    return ColumnsWith(s, value).Holds(column);
  }
  static bool Box(const Grid& s, int row, int column, int value) {
    if (!InCellRange(value)) return false;
    return (BandBits(s, kRowBand[row], value) & kBoxPlaces[column]) != 0;
  }
};
using Baseline = Sse2;
#else
using Baseline = Portable;
#endif

#if defined(TARVIK_VECTOR_AVX2)
// A band is one 32-byte vector: a row or a box test is one compare and one test of its places, a
// column test three compares and two ORs. Compiled inside the AVX2 build of the passes (see
// pass_build.h), where the compares of a band with a value are shared by the tests that ask them.
struct Avx2 : BandMasks {
  __attribute__((target("avx2"))) static __m256i Matches(const Grid& s, std::ptrdiff_t band,
                                                         __m256i v) {
    return _mm256_cmpeq_epi8(_mm256_load_si256(reinterpret_cast<const __m256i*>(s.cells + band)),
                             v);
  }
  __attribute__((target("avx2"))) static __m256i Splat(int value) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(kSplat.value[value]));
  }
  __attribute__((target("avx2"))) static std::uint32_t Bits(__m256i matches) {
    return static_cast<std::uint32_t>(_mm256_movemask_epi8(matches));
  }
  __attribute__((target("avx2"))) static std::uint32_t BandBits(const Grid& s, std::ptrdiff_t band,
                                                                int value) {
    return Bits(Matches(s, band, Splat(value)));
  }

  __attribute__((target("avx2"))) static bool Row(const Grid& s, int row, int value) {
    if (!InCellRange(value)) return false;
    return (BandBits(s, Grid::kBandBytes * BandOf(row), value) & kRowPlaces[row]) != 0;
  }
  __attribute__((target("avx2"))) static ColumnsHolding ColumnsWith(const Grid& s, int value) {
    if (!InCellRange(value)) return {0};
    const __m256i v = Splat(value);
    const __m256i bands =
        _mm256_or_si256(_mm256_or_si256(Matches(s, 0, v), Matches(s, Grid::kBandBytes, v)),
                        Matches(s, 2 * Grid::kBandBytes, v));
    return {Bits(bands)};
  }
  __attribute__((target("avx2"))) static bool Column(const Grid& s, int column, int value) {
    return ColumnsWith(s, value).Holds(column);
  }
  __attribute__((target("avx2"))) static bool Box(const Grid& s, int row, int column, int value) {
    if (!InCellRange(value)) return false;
    return (BandBits(s, Grid::kBandBytes * BandOf(row), value) & kBoxPlaces[column]) != 0;
  }
};
#endif

}  // namespace scan

}  // namespace tarvik
