// SPDX-License-Identifier: MIT
#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// What every technique step shares around its own pass: the header line with the step number, and
// the count of cells it filled. `pass` fills cells through Fill() and returns that count.
template <typename Pass>
void TechniqueStep(PuzzleState& st, Report& report, LineKind header, Pass pass) {
  if (Prints(st.IPRINT, header)) report.REPORTLINE(header, {st.STEP});
  const int fills = pass();
  if (Prints(st.IPRINT, LineKind::FOUNDCOUNT)) report.REPORTLINE(LineKind::FOUNDCOUNT, {fills});
}

// Places `value` in cell (row, column) at once, so that every later test of the pass sees it,
// counts it and reports it with `line` (CELLFOUND or CELLFOUNDCOLUMN).
inline void Fill(PuzzleState& st, Report& report, LineKind line, int row, int column, int value,
                 int& fills) {
  st.S(row, column) = static_cast<std::int8_t>(value);
  ++fills;
  if (Prints(st.IPRINT, line)) report.REPORTLINE(line, {row, column, value});
}

}  // namespace tarvik
