// SPDX-License-Identifier: MIT
#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// One pass of a deduction technique over the working grid: the step's header line, the fills with
// one line each, and the count of fills (all from print level 2). Fills take effect at once;
// cells and units earlier in the scan are not visited again. The pass leaves I and J changed.
// The step's common tail (the count of empty cells and the grid listing) is the caller's.

// Code 1: in each row, each value with exactly one possible cell goes there.
void FINDPOSITIONINROWSFORVALUES(PuzzleState& st, Report& report);
// Code 2: the same for each column.
void FINDPOSITIONINCOLUMNSFORVALUES(PuzzleState& st, Report& report);
// Code 3: the same for each box.
void FINDPOSITIONINBOXESFORVALUES(PuzzleState& st, Report& report);
// Code 4: each empty cell with exactly one candidate value gets it.
void FINDVALUEFORPOSITION(PuzzleState& st, Report& report);

}  // namespace tarvik
