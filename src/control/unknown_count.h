// SPDX-License-Identifier: MIT
#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// Counts the empty cells of S into NUNK and files the count in the history as UNKNOWNS(STEP) when
// STEP is 1 or more (an attempt's start count, at step 0, is not filed). Writes MATRIXHEADER from
// print level 2. Leaves I and J at 10.
void COUNTUNKNOWNS(PuzzleState& st, Report& report);

}  // namespace tarvik
