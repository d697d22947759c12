// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "batch/grading.h"
#include "batch/line_reader.h"

namespace tarvik::batch {

// The first line of the rows, naming their fields.
inline constexpr std::string_view kRowsHeader =
    "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n";

// Appends the row of a graded puzzle line: its source, line number, puzzle, outcome, attempts,
// steps, deepest guess level, empty cells left and final grid, tab-separated.
void AppendRow(std::string& out, std::string_view source, const PuzzleLine& line,
               const Grade& grade);

// Appends the row of a refused line: its source and line number, "refused" in the outcome field
// and every other field empty.
void AppendRefusedRow(std::string& out, std::string_view source, std::int64_t line);

}  // namespace tarvik::batch
