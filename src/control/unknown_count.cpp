#include "control/unknown_count.h"

namespace tarvik {

void COUNTUNKNOWNS(PuzzleState& st, Report& report) {
  st.NUNK = 0;
  for (st.I = 1; st.I <= 9; ++st.I) {
    for (st.J = 1; st.J <= 9; ++st.J) {
      if (st.S(st.I, st.J) == 0) ++st.NUNK;
    }
  }
  if (st.STEP >= 1) st.UNKNOWNS(st.STEP) = st.NUNK;
  if (st.IPRINT >= 2) report.REPORTLINE(LineKind::MATRIXHEADER, {st.NUNK});
}

}  // namespace tarvik
