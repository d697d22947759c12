// SPDX-License-Identifier: MIT
#include "techniques/constraint_tests.h"
#include "techniques/pass_build.h"
#include "techniques/technique_step.h"
#include "techniques/techniques.h"

// The three single-position searches share their frame and differ in their units, in the order of
// the tests that rule a position out, and in the line that reports a fill:
//
//             units       value passed over   position tests, in order   fill line
//   rows      I = 1..9    in row I            empty, column, box         CELLFOUND
//   columns   J = 1..9    in column J         empty, row, box            CELLFOUNDCOLUMN
//   boxes     b = 1..9    in box b            row, column, empty         CELLFOUND
//
// Within a unit the values are tried in ascending order, so its fills come in that order too.
// The position loops, and the box search's box loop, are unrolled: with the position a constant,
// each test is a few instructions, and the last test of a position's chain adds to the count
// without a branch. The searches run on local indices: I and J name the filled cell while its
// line is written, and are 10 at the end, where the loops on them would leave them.

namespace tarvik {
namespace {

template <class Scan>
struct RowPass {
  static int Apply(PuzzleState& st, Report& report) {
    int fills = 0;
    // Each row a copy of its own: the row's band is then a constant, and so is the compare of
    // that band with the value, which the row test, the column tests and the box tests share.
    ForEachConstant<1, 9>([&](auto row) {
      const int i = row;
      for (int v = 1; v <= 9; ++v) {
        if (VALUEINROW<Scan>(st, i, v)) continue;
        // The compare of the grid with v that the column tests of the row's positions ask, made
        // once: nothing is filled before the last of them.
        const auto columns = Scan::ColumnsWith(st.S, v);
        int positions = 0;
        int lastColumn = 0;
#pragma GCC unroll 9
        for (int j = 1; j <= 9; ++j) {
          if (st.S(i, j) != 0 || VALUEINCOLUMN<Scan>(columns, j)) continue;
          // The chain's last test counts without a branch.
          const bool inBox = VALUEINBOX<Scan>(st, i, j, v);
          positions += inBox ? 0 : 1;
          lastColumn = inBox ? lastColumn : j;
        }
        if (positions == 1) {
          st.I = i;
          st.J = lastColumn;
          Fill(st, report, LineKind::CELLFOUND, i, st.J, v, fills);
        }
      }
    });
    st.I = 10;
    st.J = 10;
    return fills;
  }
};

template <class Scan>
struct ColumnPass {
  static int Apply(PuzzleState& st, Report& report) {
    int fills = 0;
    for (int j = 1; j <= 9; ++j) {
#pragma GCC unroll 9
      for (int v = 1; v <= 9; ++v) {
        if (VALUEINCOLUMN<Scan>(st, j, v)) continue;
        int positions = 0;
        int lastRow = 0;
#pragma GCC unroll 9
        for (int i = 1; i <= 9; ++i) {
          if (st.S(i, j) != 0 || VALUEINROW<Scan>(st, i, v)) continue;
          // The chain's last test counts without a branch.
          const bool inBox = VALUEINBOX<Scan>(st, i, j, v);
          positions += inBox ? 0 : 1;
          lastRow = inBox ? lastRow : i;
        }
        if (positions == 1) {
          st.I = lastRow;
          st.J = j;
          Fill(st, report, LineKind::CELLFOUNDCOLUMN, st.I, j, v, fills);
        }
      }
    }
    st.I = 10;
    st.J = 10;
    return fills;
  }
};

template <class Scan>
struct BoxPass {
  static int Apply(PuzzleState& st, Report& report) {
    int fills = 0;
#pragma GCC unroll 9
    for (int b = 1; b <= 9; ++b) {
      const int r0 = PuzzleState::BOXROW(b);
      const int c0 = PuzzleState::BOXCOL(b);
      // Checked once per box: a box filled up during its own value loop still tries the rest.
      if (!VALUEINBOX<Scan>(st, r0, c0, 0)) continue;
      for (int v = 1; v <= 9; ++v) {
        if (VALUEINBOX<Scan>(st, r0, c0, v)) continue;
        int positions = 0;
        int lastRow = 0;
        int lastColumn = 0;
#pragma GCC unroll 3
        for (int i = r0; i <= r0 + 2; ++i) {
          if (VALUEINROW<Scan>(st, i, v)) continue;
#pragma GCC unroll 3
          for (int j = c0; j <= c0 + 2; ++j) {
            if (VALUEINCOLUMN<Scan>(st, j, v)) continue;
            // The chain's last test counts without a branch.
            const bool filled = st.S(i, j) != 0;
            positions += filled ? 0 : 1;
            lastRow = filled ? lastRow : i;
            lastColumn = filled ? lastColumn : j;
          }
        }
        if (positions == 1) {
          st.I = lastRow;
          st.J = lastColumn;
          Fill(st, report, LineKind::CELLFOUND, st.I, st.J, v, fills);
        }
      }
    }
    st.I = 10;
    st.J = 10;
    return fills;
  }
};

}  // namespace

void FINDPOSITIONINROWSFORVALUES(PuzzleState& st, Report& report) {
  TechniqueStep(st, report, LineKind::ROWSTEP, [&] { return ApplyPass<RowPass>(st, report); });
}

void FINDPOSITIONINCOLUMNSFORVALUES(PuzzleState& st, Report& report) {
  TechniqueStep(st, report, LineKind::COLUMNSTEP,
                [&] { return ApplyPass<ColumnPass>(st, report); });
}

void FINDPOSITIONINBOXESFORVALUES(PuzzleState& st, Report& report) {
  TechniqueStep(st, report, LineKind::BOXSTEP, [&] { return ApplyPass<BoxPass>(st, report); });
}

}  // namespace tarvik
