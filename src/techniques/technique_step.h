#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// What every technique step shares around its own pass: the header line with the step number, and
// the count of cells it filled. `pass` fills cells through Fill() and returns that count.
template <typename Pass>
void TechniqueStep(PuzzleState& st, Report& report, LineKind header, Pass pass) {
  if (st.IPRINT >= 2) report.REPORTLINE(header, {st.STEP});
  const int fills = pass();
  if (st.IPRINT >= 2) report.REPORTLINE(LineKind::FOUNDCOUNT, {fills});
}

// Places `value` in cell (I, J) at once, so that every later test of the pass sees it, and reports
// the cell with `line` (CELLFOUND or CELLFOUNDCOLUMN).
inline void Fill(PuzzleState& st, Report& report, LineKind line, int value, int& fills) {
  st.S(st.I, st.J) = static_cast<std::int8_t>(value);
  ++fills;
  if (st.IPRINT >= 2) report.REPORTLINE(line, {st.I, st.J, value});
}

}  // namespace tarvik
