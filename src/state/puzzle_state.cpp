// SPDX-License-Identifier: MIT
#include "state/puzzle_state.h"

namespace tarvik {

void SETSTART(PuzzleState& st) {
  // The whole grid at once; I and J end where a copy cell by cell would leave them.
  st.S = st.SSTART;
  st.I = 10;
  st.J = 10;
}

}  // namespace tarvik
