#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"
#include "techniques/constraint_tests.h"

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

// Which build of the passes runs: the best the processor supports (the default), or the baseline.
// Both give the same results; tests compare them.
enum class PassBuild { kBest, kBaseline };
void SelectPassBuild(PassBuild build);
bool UseAvx2Passes();

// Runs Pass<Scan>::Run(args...) with the constraint tests built for the processor. The AVX2 build
// is the whole pass with the tests inlined, compiled for AVX2, so that they stay inside its loops.
#if defined(TARVIK_HAVE_AVX2_SCAN)
template <template <class> class Pass, class... Args>
__attribute__((target("avx2"), flatten)) auto RunAvx2Pass(Args&... args) {
  return Pass<scan::Avx2>::Run(args...);
}
#endif

template <template <class> class Pass, class... Args>
auto RunPass(Args&... args) {
#if defined(TARVIK_HAVE_AVX2_SCAN)
  if (UseAvx2Passes()) return RunAvx2Pass<Pass>(args...);
#endif
  return Pass<scan::Baseline>::Run(args...);
}

}  // namespace tarvik
