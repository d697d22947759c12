#pragma once

#include "state/puzzle_state.h"

namespace tarvik {

// The three questions every deduction rests on: does a unit of the working grid hold `value`?
// Value 0 asks whether the unit has an empty cell. Each test looks at all nine cells of the grid
// itself; nothing about candidates is kept anywhere. They change no field of the state.

// Row `row`, columns 1 to 9.
inline bool VALUEINROW(const PuzzleState& st, int row, int value) {
  const std::int8_t* line = st.S.cell[row];
  bool found = false;
  for (int k = 1; k <= 9; ++k) found |= line[k] == value;
  return found;
}

// Column `column`, rows 1 to 9.
inline bool VALUEINCOLUMN(const PuzzleState& st, int column, int value) {
  bool found = false;
  for (int k = 1; k <= 9; ++k) found |= st.S.cell[k][column] == value;
  return found;
}

// The 3 x 3 box that holds cell (row, column).
inline bool VALUEINBOX(const PuzzleState& st, int row, int column, int value) {
  const int r0 = 3 * ((row - 1) / 3) + 1;
  const int c0 = 3 * ((column - 1) / 3) + 1;
  bool found = false;
  for (int r = r0; r <= r0 + 2; ++r) {
    const std::int8_t* line = st.S.cell[r];
    found |= (line[c0] == value) | (line[c0 + 1] == value) | (line[c0 + 2] == value);
  }
  return found;
}

}  // namespace tarvik
