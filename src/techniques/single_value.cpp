// SPDX-License-Identifier: MIT
#include "techniques/constraint_tests.h"
#include "techniques/pass_build.h"
#include "techniques/technique_step.h"
#include "techniques/techniques.h"

namespace tarvik {
namespace {

// The cell loops run on local indices, the inner one unrolled so that every column test has its
// column as a constant; I and J name the cell while its fill is reported and are 10 at the end,
// as loops on them would leave them.
template <class Scan>
struct SingleValuePass {
  static int Apply(PuzzleState& st, Report& report) {
    int fills = 0;
    // Each band of rows a copy of its own: the band is then a constant, and so are the places of
    // a cell's units, which are read once for the nine values (nothing is filled before the
    // cell is done); the compare of its band with a value serves its row and box tests alike.
    ForEachConstant<0, 2>([&](auto band) {
      for (int i = FirstOfBand(band); i <= FirstOfBand(band) + 2; ++i) {
#pragma GCC unroll 9
        for (int j = 1; j <= 9; ++j) {
          if (st.S(i, j) != 0) continue;
          const auto units = Scan::UnitsOf(st.S, i, j);
          int candidates = 0;  // counted here and kept in NCAND once the cell is done
          int candidate = 0;
          // All nine values are tried, also after a second candidate has turned up.
#pragma GCC unroll 9
          for (int v = 1; v <= 9; ++v) {
            if (VALUEINROW<Scan>(units, v) || VALUEINCOLUMN<Scan>(units, v)) continue;
            // The chain's last test counts without a branch.
            const bool inBox = VALUEINBOX<Scan>(units, v);
            candidates += inBox ? 0 : 1;
            candidate = inBox ? candidate : v;
          }
          st.NCAND = candidates;
          if (st.NCAND == 1) {
            st.I = i;
            st.J = j;
            Fill(st, report, LineKind::CELLFOUND, i, j, candidate, fills);
          }
        }
      }
    });
    st.I = 10;
    st.J = 10;
    return fills;
  }
};

}  // namespace

void FINDVALUEFORPOSITION(PuzzleState& st, Report& report) {
  TechniqueStep(st, report, LineKind::SINGLESTEP,
                [&] { return ApplyPass<SingleValuePass>(st, report); });
}

}  // namespace tarvik
