// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>

// An exact solver of its own, apart from the classic algorithm: it keeps candidates, fills what
// singles prove and searches the rest, only to tell how many solutions a grid has.
namespace tarvik::exact {

// 81 cells in reading order, row by row: 0 for an empty cell, 1 to 9 for a given.
using Cells = std::array<std::uint8_t, 81>;

// How many solutions a grid has, counted up to two.
enum class SolutionCount : std::uint8_t { kNone = 0, kOne = 1, kTwoOrMore = 2 };

// Counts the solutions of `cells` (every cell 0 to 9), stopping at the second. Givens that repeat
// in a row, a column or a box make kNone. Allocates nothing.
SolutionCount CountSolutions(const Cells& cells);
// The same, writing the first solution found to `solution` when there is one (otherwise
// `solution` is left as it was).
SolutionCount CountSolutions(const Cells& cells, Cells& solution);

}  // namespace tarvik::exact
