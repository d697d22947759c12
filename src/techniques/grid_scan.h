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

  // Nor for one cell's units: each is looked at when it is asked about.
  struct CellUnits {
    const Grid& s;
    int row;
    int column;
  };
  static CellUnits UnitsOf(const Grid& s, int row, int column) { return {s, row, column}; }
  static bool Row(const CellUnits& u, int value) { return Row(u.s, u.row, value); }
  static bool Column(const CellUnits& u, int value) { return Column(u.s, u.column, value); }
  static bool Box(const CellUnits& u, int value) { return Box(u.s, u.row, u.column, value); }
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

  // A cell's units in two vectors (CellUnits): its own band, and the cells of its column in the
  // other two bands, the first of them where it lies (bits j - 1 + 9r) and the second read one
  // byte early (bits j + 9r; it is band 1 or 2, so the byte before it is in the grid).
  static constexpr std::ptrdiff_t KeptBand(int band) { return band == 0 ? 32 : 0; }
  static constexpr std::ptrdiff_t ShiftedBand(int band) { return band == 2 ? 32 : 64; }
  static constexpr auto kCrossPlaces =
      ByRowOrColumn<std::uint32_t>::Of([](int j) { return 0x40201u << (j - 1) | 0x40201u << j; });
};

// For each column j, the bytes j + 9r (r = 0 to 2) set: where a cell's units take the shifted
// band (pass_build.cpp).
struct CrossTakes {
  alignas(32) std::int8_t column[10][32];
};
extern const CrossTakes kCrossTake;

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

  // One cell's units, read once for the values tried in it while nothing is filled.
  struct CellUnits {
    __m128i own[2];
    __m128i cross[2];
    std::uint32_t rowPlaces;
    std::uint32_t columnPlaces;
    std::uint32_t crossPlaces;
    std::uint32_t boxPlaces;
  };
  static __m128i Load(const std::int8_t* bytes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
  }
  static CellUnits UnitsOf(const Grid& s, int row, int column) {
    const int band = BandOf(row);
    const std::int8_t* own = s.cells + Grid::kBandBytes * band;
    const std::int8_t* kept = s.cells + KeptBand(band);
    const std::int8_t* shifted = s.cells + ShiftedBand(band) - 1;
    CellUnits u{};
    for (std::ptrdiff_t half = 0; half < 2; ++half) {
      const __m128i take = Load(kCrossTake.column[column] + 16 * half);
      u.own[half] = Load(own + 16 * half);
      u.cross[half] = _mm_or_si128(
          _mm_and_si128(take,
                        _mm_loadu_si128(reinterpret_cast<const __m128i*>(shifted + 16 * half))),
          _mm_andnot_si128(take, Load(kept + 16 * half)));
    }
    u.rowPlaces = kRowPlaces[row];
    u.columnPlaces = kColumnPlaces[column];
    u.crossPlaces = kCrossPlaces[column];
    u.boxPlaces = kBoxPlaces[column];
    return u;
  }
  static std::uint32_t Bits(const __m128i (&halves)[2], int value) {
    const __m128i v = Load(kSplat.value[value]);
    return Bits(_mm_cmpeq_epi8(halves[0], v), _mm_cmpeq_epi8(halves[1], v));
  }
  static bool Row(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    return (Bits(u.own, value) & u.rowPlaces) != 0;
  }
  static bool Column(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    return ((Bits(u.own, value) & u.columnPlaces) | (Bits(u.cross, value) & u.crossPlaces)) != 0;
  }
  static bool Box(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    return (Bits(u.own, value) & u.boxPlaces) != 0;
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

  // One cell's units, read once for the values tried in it while nothing is filled: a row or a
  // box test is one compare of its own band, a column test one more of the other two bands'
  // cells of its column, gathered by one blend.
  struct CellUnits {
    __m256i own;
    __m256i cross;
    std::uint32_t rowPlaces;
    std::uint32_t columnPlaces;
    std::uint32_t crossPlaces;
    std::uint32_t boxPlaces;
  };
  __attribute__((target("avx2"))) static __m256i Load(const std::int8_t* bytes) {
    return _mm256_load_si256(reinterpret_cast<const __m256i*>(bytes));
  }
  __attribute__((target("avx2"))) static CellUnits UnitsOf(const Grid& s, int row, int column) {
    const int band = BandOf(row);
    const __m256i shifted =
        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s.cells + ShiftedBand(band) - 1));
    return {Load(s.cells + Grid::kBandBytes * band),
            _mm256_blendv_epi8(Load(s.cells + KeptBand(band)), shifted,
                               Load(kCrossTake.column[column])),
            kRowPlaces[row],
            kColumnPlaces[column],
            kCrossPlaces[column],
            kBoxPlaces[column]};
  }
  __attribute__((target("avx2"))) static bool Row(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    return (Bits(_mm256_cmpeq_epi8(u.own, Splat(value))) & u.rowPlaces) != 0;
  }
  __attribute__((target("avx2"))) static bool Column(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    const __m256i v = Splat(value);
    return ((Bits(_mm256_cmpeq_epi8(u.own, v)) & u.columnPlaces) |
            (Bits(_mm256_cmpeq_epi8(u.cross, v)) & u.crossPlaces)) != 0;
  }
  __attribute__((target("avx2"))) static bool Box(const CellUnits& u, int value) {
    if (!InCellRange(value)) return false;
    return (Bits(_mm256_cmpeq_epi8(u.own, Splat(value))) & u.boxPlaces) != 0;
  }
};
#endif

}  // namespace scan

}  // namespace tarvik
