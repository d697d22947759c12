// SPDX-License-Identifier: MIT
#pragma once

#include <type_traits>
#include <utility>

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// What every technique step shares around its own pass: the header line with the step number, and
// the count of cells it filled. `pass` fills cells through Fill() and returns that count.
template <typename Pass>
void TechniqueStep(PuzzleState& st, Report& report, LineKind header, Pass pass) {
  if (Prints(st.IPRINT, header)) report.REPORTLINE(header, {st.STEP});
  const int fills = pass();
  if (Prints(st.IPRINT, LineKind::FOUNDCOUNT)) report.REPORTLINE(LineKind::FOUNDCOUNT, {fills});
}

// Calls f(std::integral_constant<int, k>{}) for k from First to Last in order: a loop unrolled
// with k a constant in each copy, so that whatever is looked up by k folds into the code.
template <int First, int Last, typename F>
inline void ForEachConstant(F&& f) {
  [&]<int... K>(std::integer_sequence<int, K...>) {
    (f(std::integral_constant<int, First + K>{}), ...);
  }
  (std::make_integer_sequence<int, Last - First + 1>{});
}

// The same, stopping after the first call that returns true; returns whether one did.
template <int First, int Last, typename F>
inline bool AnyConstant(F&& f) {
  return [&]<int... K>(std::integer_sequence<int, K...>) {
    return (f(std::integral_constant<int, First + K>{}) || ...);
  }
  (std::make_integer_sequence<int, Last - First + 1>{});
}

// Places `value` in cell (row, column) at once, so that every later test of the pass sees it,
// counts it and reports it with `line` (CELLFOUND or CELLFOUNDCOLUMN).
inline void Fill(PuzzleState& st, Report& report, LineKind line, int row, int column, int value,
                 int& fills) {
  st.S(row, column) = static_cast<std::int8_t>(value);
  ++fills;
  if (Prints(st.IPRINT, line)) report.REPORTLINE(line, {row, column, value});
}

}  // namespace tarvik
