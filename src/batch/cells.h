// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/grid.h"
#include "state/vector_paths.h"

namespace tarvik::batch {

// What a puzzle's cells may be, as every message, the help and the manual name it.
inline constexpr std::string_view kCellsExpected =
    "1 to 9, or one of 0 . * _ - x X for an empty cell";

// Whether `c` is a cell: a digit, or one of the marks of an empty cell.
constexpr bool IsCell(char c) {
  return (c >= '0' && c <= '9') || c == '.' || c == '*' || c == '_' || c == '-' || c == 'x' ||
         c == 'X';
}

// The message naming the first cell, row by row, that repeats a value of its row, column or box;
// none if no value repeats. `cells` holds the 81 values row by row, `start` the same grid. A bit
// per value and unit finds whether any value repeats; only then is the cell looked for.
std::optional<std::string> FirstRepeat(const std::int8_t* cells, const Grid& start);

// Turns the 81 bytes at `field` into cell values, 0 for an empty cell, into `cells`, and the same
// values as the digits '0' to '9' into `digits`; false if any byte is no cell. `field` must have
// 96 bytes that can be read (the last 15 are ignored); `cells` and `digits` room for 96. The
// build for this machine, then its twins: a byte at a time, and with SSE2 16 bytes at a time.
bool ToCells(const char* field, std::int8_t* cells, char* digits);
bool ToCellsPortable(const char* field, std::int8_t* cells, char* digits);
#if defined(TARVIK_VECTOR_SSE2)
bool ToCellsSse2(const char* field, std::int8_t* cells, char* digits);
#endif

}  // namespace tarvik::batch
