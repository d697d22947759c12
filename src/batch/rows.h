// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "batch/grading.h"
#include "batch/line_reader.h"

namespace tarvik::batch {

// The first line of the rows, naming their fields; with the solutions counted, a tenth.
inline constexpr std::string_view kRowsHeader =
    "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n";
inline constexpr std::string_view kRowsHeaderWithSolutions =
    "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\tsolutions\n";

// Appends the row of a graded puzzle line: its source, line number, puzzle, outcome, attempts,
// steps, deepest guess level, empty cells left and final grid, and the count of its solutions
// when given (0, 1 or 2 for two or more), tab-separated.
void AppendRow(std::string& out, std::string_view source, const PuzzleLine& line,
               const Grade& grade, std::optional<int> solutions = std::nullopt);

// Appends the row of a refused line: its source and line number, "refused" in the outcome field
// and every other field empty (a tenth one too when the solutions are counted).
void AppendRefusedRow(std::string& out, std::string_view source, std::int64_t line,
                      bool solutionsField = false);

}  // namespace tarvik::batch
