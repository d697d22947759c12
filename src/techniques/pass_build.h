// SPDX-License-Identifier: MIT
#pragma once

#include "techniques/grid_scan.h"

namespace tarvik {

// Which build of the passes runs: the best the processor supports (the default), or the baseline.
// Both give the same results; tests compare them.
enum class PassBuild { kBest, kBaseline };
void SelectPassBuild(PassBuild build);
bool UseAvx2Passes();

// Runs Pass<Scan>::Apply(args...) with the grid scans built for the processor. The AVX2 build is
// the whole pass with the scans inlined, compiled for AVX2, so that they stay inside its loops.
#if defined(TARVIK_VECTOR_AVX2)
template <template <class> class Pass, class... Args>
__attribute__((target("avx2"), flatten)) auto ApplyAvx2Pass(Args&... args) {
  return Pass<scan::Avx2>::Apply(args...);
}
#endif

template <template <class> class Pass, class... Args>
auto ApplyPass(Args&... args) {
#if defined(TARVIK_VECTOR_AVX2)
  if (UseAvx2Passes()) return ApplyAvx2Pass<Pass>(args...);
#endif
  return Pass<scan::Baseline>::Apply(args...);
}

}  // namespace tarvik
