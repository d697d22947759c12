// SPDX-License-Identifier: MIT
#include "control/guessing.h"

#include "techniques/constraint_tests.h"
#include "techniques/pass_build.h"

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

template <class Scan>
struct PairSearch {
  static void Apply(PuzzleState& st) {
    for (st.I = 1; st.I <= 9; ++st.I) {
      for (st.J = 1; st.J <= 9; ++st.J) {
        if (st.S(st.I, st.J) != 0) continue;
        st.NCAND = 0;
#pragma GCC unroll 9
        for (int v = 1; v <= 9; ++v) {
          if (!IsCandidate<Scan>(st, st.I, st.J, v)) continue;
          ++st.NCAND;
          if (st.NCAND == 1) st.CAND1 = v;
          if (st.NCAND == 2) st.CAND2 = v;
        }
        if (st.NCAND == 0 || st.NCAND == 2) return;
      }
    }
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
