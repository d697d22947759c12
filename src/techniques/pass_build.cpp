// SPDX-License-Identifier: MIT
#include "techniques/pass_build.h"

#include <atomic>

namespace tarvik {

namespace scan {
constexpr Splats MakeSplats() {
  Splats splats{};
  for (int v = 0; v <= 9; ++v) {
    for (auto& byte : splats.value[v]) byte = static_cast<std::int8_t>(v);
  }
  return splats;
}
constexpr Splats kSplat = MakeSplats();

constexpr CrossTakes MakeCrossTakes() {
  CrossTakes takes{};
  for (int j = 1; j <= 9; ++j) {
    for (int r = 0; r <= 2; ++r) takes.column[j][j + 9 * r] = -1;
  }
  return takes;
}
constexpr CrossTakes kCrossTake = MakeCrossTakes();
}  // namespace scan

namespace {

std::atomic<bool> baselineOnly{false};

bool ProcessorHasAvx2() {
#if defined(TARVIK_VECTOR_AVX2)
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
#else
  return false;
#endif
}

}  // namespace

void SelectPassBuild(PassBuild build) {
  baselineOnly.store(build == PassBuild::kBaseline, std::memory_order_relaxed);
}

bool UseAvx2Passes() {
  static const bool hasAvx2 = ProcessorHasAvx2();
  return hasAvx2 && !baselineOnly.load(std::memory_order_relaxed);
}

}  // namespace tarvik
