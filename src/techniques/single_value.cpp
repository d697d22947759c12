#include "techniques/constraint_tests.h"
#include "techniques/pass_build.h"
#include "techniques/technique_step.h"
#include "techniques/techniques.h"

namespace tarvik {
namespace {

template <class Scan>
struct SingleValuePass {
  static int Apply(PuzzleState& st, Report& report) {
    int fills = 0;
    for (st.I = 1; st.I <= 9; ++st.I) {
      for (st.J = 1; st.J <= 9; ++st.J) {
        if (st.S(st.I, st.J) != 0) continue;
        int candidates = 0;  // counted here and kept in NCAND once the cell is done
        int candidate = 0;
        // All nine values are tried, also after a second candidate has turned up.
#pragma GCC unroll 9
        for (int v = 1; v <= 9; ++v) {
          if (!IsCandidate<Scan>(st, st.I, st.J, v)) continue;
          ++candidates;
          candidate = v;
        }
        st.NCAND = candidates;
        if (st.NCAND == 1) Fill(st, report, LineKind::CELLFOUND, st.I, st.J, candidate, fills);
      }
    }
    return fills;
  }
};

}  // namespace

void FINDVALUEFORPOSITION(PuzzleState& st, Report& report) {
  TechniqueStep(st, report, LineKind::SINGLESTEP,
                [&] { return ApplyPass<SingleValuePass>(st, report); });
}

}  // namespace tarvik
