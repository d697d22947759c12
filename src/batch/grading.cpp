// SPDX-License-Identifier: MIT
#include "batch/grading.h"

#include <string>

#include "state/empty_cells.h"

namespace tarvik::batch {

PuzzleState StateFor(const Grid& start, const RunParameters& parameters) {
  PuzzleState st;
  st.SSTART = start;
  st.IPRINT = parameters.printLevel;
  st.NBACK = parameters.lookBack;
  st.NSTEPS = parameters.steps;
  const std::string& codes = parameters.sequence;
  for (int k = 1; k <= parameters.steps; ++k) {
    st.SEQ(k) = codes[static_cast<std::size_t>(k - 1) % codes.size()] - '0';
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
