// SPDX-License-Identifier: MIT
#pragma once

// The grid listing of PRINTMATRIX: the nine MATRIXROW lines of a grid, laid out from its cells at
// once. Internal to the report.

#include <array>
#include <cstddef>
#include <cstdint>

#include "state/grid.h"
#include "state/vector_paths.h"

namespace tarvik::layout {

// A MATRIXROW line is nine fields of width 3 and its line feed.
inline constexpr std::size_t kGridRowBytes = 28;
inline constexpr std::size_t kGridBytes = 9 * kGridRowBytes;
// The room a listing needs where it starts: it may store up to 32 bytes past its end, which the
// next write overwrites.
inline constexpr std::size_t kGridRoom = kGridBytes + 32;

// Room for the nine cells of a row and three values more, which RowValues may overwrite.
inline constexpr std::size_t kRowValues = 12;
// The nine cells of row i, widened to the layout's values: the build for this machine, a cell at
// a time, and with SSE2 three loads widened in vector registers.
void RowValues(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row);
void RowValuesPortable(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row);
#if defined(TARVIK_VECTOR_SSE2)
void RowValuesSse2(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row);
#endif

// The listing of `grid` at `out`; returns its end. Where a cell (or a padding byte) is not 0 to 9
// the rows are laid out one by one from their values instead, which shows any value.
char* LayOutGridPortable(const Grid& grid, char* out);
#if defined(TARVIK_VECTOR_AVX2)
// The same bytes: each 32 bytes of a band's three rows are one shuffle of each of its three boxes
// into a line of text. Runs only where the processor has AVX2.
char* LayOutGridAvx2(const Grid& grid, char* out);
#endif
// The build of the listing for this processor, chosen once at start.
extern char* (*const LayOutGrid)(const Grid& grid, char* out);

}  // namespace tarvik::layout
