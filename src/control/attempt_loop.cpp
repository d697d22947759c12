// SPDX-License-Identifier: MIT
#include "control/attempt_loop.h"

#include <algorithm>
#include <optional>

#include "control/unknown_count.h"
#include "techniques/techniques.h"

namespace tarvik {

void StartAttempt(PuzzleState& st, Report& report) {
  st.STEP = 0;
  COUNTUNKNOWNS(st, report);
  if (st.NSTART == 0 || Prints(st.IPRINT, LineKind::PUZZLESTART)) {
    report.REPORTLINE(LineKind::PUZZLESTART, {st.NUNK});
    report.PRINTMATRIX(st);
    ++st.NSTART;
  }
}

void RunStep(PuzzleState& st, Report& report) {
  // The reader admits codes 1 to 4 only, so every step runs a technique and files its count.
  switch (st.SEQ(st.STEP)) {
    case 1: FINDPOSITIONINROWSFORVALUES(st, report); break;
    case 2: FINDPOSITIONINCOLUMNSFORVALUES(st, report); break;
    case 3: FINDPOSITIONINBOXESFORVALUES(st, report); break;
    case 4: FINDVALUEFORPOSITION(st, report); break;
    default: return;
  }
  COUNTUNKNOWNS(st, report);
  if (st.IPRINT >= kStepListingLevel) report.PRINTMATRIX(st);
}

bool ProgressStopped(const PuzzleState& st) {
  const int back = std::max(1, st.STEP - st.NBACK);
  return st.UNKNOWNS(back) <= st.UNKNOWNS(st.STEP);
}

namespace {

// The tests of a step from the fifth on after the solved test: the step limit, then progress.
// None when the attempt goes on.
inline std::optional<AttemptOutcome> LimitOrStall(PuzzleState& st, Report& report) {
  if (st.STEP >= st.NSTEPS) {
    if (Prints(st.IPRINT, LineKind::MAXSTEPS)) report.REPORTLINE(LineKind::MAXSTEPS);
    return AttemptOutcome::kStepLimit;
  }
  if (!ProgressStopped(st)) return std::nullopt;
  if (Prints(st.IPRINT, LineKind::NOPROGRESS)) report.REPORTLINE(LineKind::NOPROGRESS);
  return AttemptOutcome::kStalled;
}

}  // namespace

AttemptOutcome RunSteps(PuzzleState& st, Report& report, int pause) {
  for (;;) {
    ++st.STEP;
    RunStep(st, report);
    if (st.STEP < 5) continue;
    if (st.UNKNOWNS(st.STEP) == 0) {
      if (Prints(st.IPRINT, LineKind::PUZZLESOLVED)) report.REPORTLINE(LineKind::PUZZLESOLVED);
      return AttemptOutcome::kSolved;
    }
    if (st.STEP == pause) return AttemptOutcome::kPaused;
    if (const std::optional<AttemptOutcome> end = LimitOrStall(st, report)) return *end;
  }
}

AttemptOutcome ResumeSteps(PuzzleState& st, Report& report, int pause) {
  if (const std::optional<AttemptOutcome> end = LimitOrStall(st, report)) return *end;
  return RunSteps(st, report, pause);
}

}  // namespace tarvik
