#include "state/puzzle_state.h"

namespace tarvik {

void SETSTART(PuzzleState& st) {
  for (st.I = 1; st.I <= 9; ++st.I) {
    for (st.J = 1; st.J <= 9; ++st.J) {
      st.S(st.I, st.J) = st.SSTART(st.I, st.J);
    }
  }
}

}  // namespace tarvik
