// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>

#include "control/run.h"
#include "control/run_parameters.h"
#include "report/report.h"
#include "state/grid.h"
#include "state/puzzle_state.h"

namespace tarvik::batch {

// The puzzle state the classic run would have read from a Sudin.txt holding this puzzle and these
// parameters.
PuzzleState StateFor(const Grid& start, const RunParameters& parameters);

// What one row of the batch says about a puzzle.
struct Grade {
  RunSummary summary;
  int empty = 0;  // empty cells of the final grid
  Grid final;
};

// Works `st` as the classic run does, writing the report to `report`.
Grade GradePuzzle(PuzzleState& st, Report& report);
// The same without any report laid out.
Grade GradePuzzle(PuzzleState& st);

// Works `st` without a report, and with it every lower step limit of `limits` (ascending, from 5,
// below the state's NSTEPS): `grades`, one for each limit, get those runs' grades.
Grade GradePuzzle(PuzzleState& st, std::span<const std::int32_t> limits, std::span<Grade> grades);

}  // namespace tarvik::batch
