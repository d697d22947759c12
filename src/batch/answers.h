// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>

#include "batch/grading.h"
#include "batch/line_reader.h"
#include "control/outcome_counts.h"

namespace tarvik::batch {

// Checks the puzzle's grade against the answer its line carries (--answers): a grid of 81 digits
// 1-9 is compared with a solved grid (any other field of 81 bytes is bad), and a count with
// `solutions` (0, 1 or 2 for two or more),
// when counted. A count of 2 or more, or two or more solutions counted, make another solved grid
// `other`; an empty solution beside a count of 0 is no answer.
AnswerCheck CheckAnswer(const PuzzleLine& line, const Grade& grade, std::optional<int> solutions);

// What is wrong with the line's answer when CheckAnswer finds it bad, as the message after
// "FILE:LINE: ".
std::string BadAnswer(const PuzzleLine& line);

}  // namespace tarvik::batch
