// SPDX-License-Identifier: MIT
// What the exact solver's tests share: grids as digit strings, and the check of a solution.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "exact/exact_solver.h"

namespace tarvik::exact::testing {

// 81 characters, row by row: 1-9 a given, 0 or '.' an empty cell.
inline Cells CellsOf(std::string_view digits) {
  Cells cells{};
  for (std::size_t k = 0; k < cells.size() && k < digits.size(); ++k) {
    const char c = digits[k];
    cells[k] = static_cast<std::uint8_t>(c >= '1' && c <= '9' ? c - '0' : 0);
  }
  return cells;
}

inline std::string DigitsOf(const Cells& cells) {
  std::string digits;
  for (const std::uint8_t v : cells) digits += static_cast<char>('0' + v);
  return digits;
}

// Nothing if `solution` fills every cell, holds each value once in every row, column and box, and
// keeps every given of `puzzle`; otherwise what is wrong with it.
inline std::string ProblemWith(const Cells& solution, const Cells& puzzle) {
  for (std::size_t k = 0; k < 81; ++k) {
    if (solution[k] < 1 || solution[k] > 9) return "cell " + std::to_string(k) + " is not 1-9";
    if (puzzle[k] != 0 && solution[k] != puzzle[k]) {
      return "cell " + std::to_string(k) + " lost its given " + std::to_string(puzzle[k]);
    }
  }
  for (std::size_t unit = 0; unit < 27; ++unit) {
    unsigned seen = 0;
    for (std::size_t j = 0; j < 9; ++j) {
      const std::size_t k = unit < 9    ? 9 * unit + j        // row
                            : unit < 18 ? (unit - 9) + 9 * j  // column
                                        : 27 * ((unit - 18) / 3) + 3 * ((unit - 18) % 3) +
                                              9 * (j / 3) + j % 3;  // box
      seen |= 1u << solution[k];
    }
    if (seen != 0x3FEu) return "unit " + std::to_string(unit) + " does not hold 1 to 9";
  }
  return {};
}

// Whether a given repeats in a row, a column or a box: such a line is refused by the batch.
inline bool HasRepeatedGiven(const Cells& puzzle) {
  for (std::size_t a = 0; a < 81; ++a) {
    for (std::size_t b = a + 1; b < 81; ++b) {
      if (puzzle[a] == 0 || puzzle[a] != puzzle[b]) continue;
      const bool sameRow = a / 9 == b / 9;
      const bool sameColumn = a % 9 == b % 9;
      const bool sameBox = a / 27 == b / 27 && a % 9 / 3 == b % 9 / 3;
      if (sameRow || sameColumn || sameBox) return true;
    }
  }
  return false;
}

}  // namespace tarvik::exact::testing
