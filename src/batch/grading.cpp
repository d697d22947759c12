// SPDX-License-Identifier: MIT
#include "batch/grading.h"

#include <algorithm>

#include "state/empty_cells.h"

namespace tarvik::batch {
Parameters ParametersOf(const BatchOptions& options) {
  Parameters parameters;
  parameters.printLevel = options.reportsDir ? options.printLevel : 0;
  parameters.lookBack = options.lookBack;
  parameters.steps = options.steps;
  for (std::size_t k = 0; k < parameters.sequence.size(); ++k) {
    parameters.sequence[k] = options.sequence[k % options.sequence.size()] - '0';
  }
  return parameters;
}

PuzzleState StateFor(const Grid& start, const Parameters& parameters) {
  PuzzleState st;
  st.SSTART = start;
  st.IPRINT = parameters.printLevel;
  st.NBACK = parameters.lookBack;
  st.NSTEPS = parameters.steps;
  for (int k = 1; k <= parameters.steps; ++k) {
    st.SEQ(k) = parameters.sequence[static_cast<std::size_t>(k) - 1];
  }
  return st;
}

Grade GradePuzzle(PuzzleState& st, Report& report) {
  Grade grade;
  grade.summary = Solve(st, report);
  grade.final = st.S;
  grade.empty = EmptyCells(st.S);
  return grade;
}

Grade GradePuzzle(PuzzleState& st) {
  NullListener ignored;
  Report report(ignored);
  return GradePuzzle(st, report);
}

}  // namespace tarvik::batch
