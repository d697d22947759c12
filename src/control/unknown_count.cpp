// SPDX-License-Identifier: MIT
#include "control/unknown_count.h"

#include "state/empty_cells.h"

namespace tarvik {

void COUNTUNKNOWNS(PuzzleState& st, Report& report) {
  st.NUNK = EmptyCells(st.S);
  st.I = 10;  // where a count cell by cell would leave them
  st.J = 10;
  if (st.STEP >= 1) st.UNKNOWNS(st.STEP) = st.NUNK;
  if (Prints(st.IPRINT, LineKind::MATRIXHEADER)) {
    report.REPORTLINE(LineKind::MATRIXHEADER, {st.NUNK});
  }
}

}  // namespace tarvik
