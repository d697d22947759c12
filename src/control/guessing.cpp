// SPDX-License-Identifier: MIT
#include "control/guessing.h"

#include <bit>
#include <cstdint>

#include "techniques/constraint_tests.h"
#include "techniques/pass_build.h"
#include "techniques/technique_step.h"

namespace tarvik {
namespace {

// SETSTART, then every guess on the stack written into S, oldest first.
void Restart(PuzzleState& st, Report& report) {
  SETSTART(st);
  if (Prints(st.IPRINT, LineKind::RESTARTING)) report.REPORTLINE(LineKind::RESTARTING);
  for (int k = 1; k <= st.LEVEL; ++k) {
    st.I = st.GROW(k);
    st.J = st.GCOL(k);
    st.S(st.I, st.J) = static_cast<std::int8_t>(st.GFIRST(k) == 1 ? st.GVAL1(k) : st.GVAL2(k));
    if (Prints(st.IPRINT, LineKind::GUESSAPPLIED)) {
      report.REPORTLINE(LineKind::GUESSAPPLIED, {st.I, st.J, st.S(st.I, st.J)});
    }
  }
}

// The cell loops run on local indices, the inner one unrolled so that every column test has its
// column as a constant. A cell's candidates are collected as the hexadecimal digits of one number,
// in ascending order; their count, CAND1 and CAND2 are taken from the digits once the nine values
// are tried, as the counting would have set them. I and J name the cell the search stops
// at, or are 10 after the last cell.
template <class Scan>
struct PairSearch {
  static void Apply(PuzzleState& st) {
    // Each band of rows a copy of its own, so that the row test's compare of the band is shared
    // by the column test of the same cell.
    const bool stopped = AnyConstant<0, 2>([&](auto band) {
      for (int i = FirstOfBand(band); i <= FirstOfBand(band) + 2; ++i) {
#pragma GCC unroll 9
        for (int j = 1; j <= 9; ++j) {
          if (st.S(i, j) != 0) continue;
          std::uint64_t digits = 0;
#pragma GCC unroll 9
          for (int v = 1; v <= 9; ++v) {
            if (VALUEINROW<Scan>(st, i, v) || VALUEINCOLUMN<Scan>(st, j, v) ||
                VALUEINBOX<Scan>(st, i, j, v)) {
              continue;
            }
            digits = digits << 4 | static_cast<std::uint64_t>(v);
          }
          // Candidates are 1 to 9, so every digit is one: the count is the digits' length.
          const int count = (static_cast<int>(std::bit_width(digits)) + 3) / 4;
          st.NCAND = count;
          if (count >= 1) st.CAND1 = static_cast<std::int32_t>(digits >> (4 * (count - 1)) & 15);
          if (count >= 2) st.CAND2 = static_cast<std::int32_t>(digits >> (4 * (count - 2)) & 15);
          if (count == 0 || count == 2) {
            st.I = i;
            st.J = j;
            return true;
          }
        }
      }
      return false;
    });
    if (stopped) return;
    st.I = 10;
    st.J = 10;
  }
};

}  // namespace

void SEARCHFORPAIR(PuzzleState& st) { ApplyPass<PairSearch>(st); }

GuessOutcome GuessAfterStall(PuzzleState& st, Report& report) {
  SEARCHFORPAIR(st);
  report.TellPairSearch(st);
  const bool pairFound = st.I <= 9 && st.NCAND == 2;
  const bool deadCell = st.I <= 9 && st.NCAND == 0;
  if (pairFound) {
    if (Prints(st.IPRINT, LineKind::PAIRFOUND)) {
      report.REPORTLINE(LineKind::PAIRFOUND, {st.I, st.J, st.CAND1, st.CAND2});
    }
    if (st.LEVEL < PuzzleState::kMaxLevel) {
      // Read from the scratch fields now: the restart's SETSTART reuses I and J.
      ++st.LEVEL;
      st.GROW(st.LEVEL) = st.I;
      st.GCOL(st.LEVEL) = st.J;
      st.GVAL1(st.LEVEL) = st.CAND1;
      st.GVAL2(st.LEVEL) = st.CAND2;
      st.GFIRST(st.LEVEL) = 1;
      Restart(st, report);
      return GuessOutcome::kRestart;
    }
  }
  // A dead cell proves the guesses wrong; running out of two-value cells or of stack room does not.
  if (!deadCell) st.unproven = 1;
  for (;;) {
    if (st.LEVEL == 0) {
      const LineKind end = st.unproven == 1 ? LineKind::NOMOREGUESSES : LineKind::NOSOLUTION;
      if (Prints(st.IPRINT, end)) report.REPORTLINE(end);
      return GuessOutcome::kGiveUp;
    }
    if (st.GFIRST(st.LEVEL) == 1) {
      st.GFIRST(st.LEVEL) = 0;
      Restart(st, report);
      return GuessOutcome::kRestart;
    }
    --st.LEVEL;
  }
}

}  // namespace tarvik
