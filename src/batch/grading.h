// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "batch/batch_options.h"
#include "control/run.h"
#include "report/report.h"
#include "state/grid.h"
#include "state/puzzle_state.h"

namespace tarvik::batch {

// The run parameters every puzzle of a batch is worked with.
struct Parameters {
  std::int32_t printLevel = 0;
  std::int32_t lookBack = 4;
  std::int32_t steps = 40;
  std::array<std::int32_t, 100> sequence{};  // the codes repeated to fill the steps
};
Parameters ParametersOf(const BatchOptions& options);

// The puzzle state the classic run would have read from a Sudin.txt holding this puzzle and these
// parameters.
PuzzleState StateFor(const Grid& start, const Parameters& parameters);

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

}  // namespace tarvik::batch
