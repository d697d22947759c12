// SPDX-License-Identifier: MIT
#pragma once

#include "state/puzzle_state.h"
#include "techniques/grid_scan.h"

namespace tarvik {

// The three questions every deduction rests on: does a unit of the working grid hold `value`?
// Value 0 asks whether the unit has an empty cell. Each test looks at all nine cells of the grid
// itself; nothing about candidates is kept anywhere. They change no field of the state. `Scan`
// picks the instruction-set build of the scans (techniques/grid_scan.h).

// Row `row`, columns 1 to 9.
template <class Scan = scan::Baseline>
inline bool VALUEINROW(const PuzzleState& st, int row, int value) {
  return Scan::Row(st.S, row, value);
}

// Column `column`, rows 1 to 9.
template <class Scan = scan::Baseline>
inline bool VALUEINCOLUMN(const PuzzleState& st, int column, int value) {
  return Scan::Column(st.S, column, value);
}

// The same on the columns found holding `value` by Scan::ColumnsWith, which a unit's positions
// share while nothing is filled.
template <class Scan = scan::Baseline>
inline bool VALUEINCOLUMN(const typename Scan::ColumnsHolding& columns, int column) {
  return columns.Holds(column);
}

// The 3 x 3 box that holds cell (row, column).
template <class Scan = scan::Baseline>
inline bool VALUEINBOX(const PuzzleState& st, int row, int column, int value) {
  return Scan::Box(st.S, row, column, value);
}

// The same three tests on one cell's units, read once by Scan::UnitsOf for the values tried in
// the cell: nothing is filled while they are asked.
template <class Scan = scan::Baseline>
inline bool VALUEINROW(const typename Scan::CellUnits& units, int value) {
  return Scan::Row(units, value);
}
template <class Scan = scan::Baseline>
inline bool VALUEINCOLUMN(const typename Scan::CellUnits& units, int value) {
  return Scan::Column(units, value);
}
template <class Scan = scan::Baseline>
inline bool VALUEINBOX(const typename Scan::CellUnits& units, int value) {
  return Scan::Box(units, value);
}

// Whether `value` can go into the empty cell (row, column): it is in neither the row, the column
// nor the box. The tests are asked in that order, each only while the earlier ones found nothing.
template <class Scan = scan::Baseline>
inline bool IsCandidate(const PuzzleState& st, int row, int column, int value) {
  return !VALUEINROW<Scan>(st, row, value) && !VALUEINCOLUMN<Scan>(st, column, value) &&
         !VALUEINBOX<Scan>(st, row, column, value);
}

}  // namespace tarvik
