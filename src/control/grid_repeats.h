// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "state/grid.h"

namespace tarvik {

// Checks a start grid while it is read, cell by cell and row by row: whether `value` at (row,
// column) repeats a value read before it in its row, its column or its box, looked for in that
// order. `cell(r, c)` gives a cell read earlier. Returns the message naming both cells, or nothing.
template <typename CellAt>
std::optional<std::string> RepeatMessage(CellAt cell, int row, int column, int value) {
  if (value == 0) return std::nullopt;
  const auto repeat = [&](const char* unit, int unitNumber, int r, int c) {
    return "row " + std::to_string(row) + ", column " + std::to_string(column) + ": found " +
           std::to_string(value) + ", expected no second " + std::to_string(value) + " in " + unit +
           " " + std::to_string(unitNumber) + " (there is one at row " + std::to_string(r) +
           ", column " + std::to_string(c) + ")";
  };
  for (int c = 1; c < column; ++c) {
    if (cell(row, c) == value) return repeat("row", row, row, c);
  }
  for (int r = 1; r < row; ++r) {
    if (cell(r, column) == value) return repeat("column", column, r, column);
  }
  const int c0 = BandStart(column);
  for (int r = BandStart(row); r < row; ++r) {
    for (int c = c0; c <= c0 + 2; ++c) {
      if (c != column && cell(r, c) == value) return repeat("box", BoxOf(row, column), r, c);
    }
  }
  return std::nullopt;
}

}  // namespace tarvik
