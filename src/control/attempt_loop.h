// SPDX-License-Identifier: MIT
#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// How an attempt ended.
enum class AttemptOutcome {
  kSolved,     // no empty cell is left; PUZZLESOLVED has been written
  kStepLimit,  // NSTEPS steps ran; MAXSTEPS has been written
  kStalled,    // the count of empty cells stopped falling; over to the guess logic
  kPaused,     // the step asked for ran without solving the puzzle; RunSteps goes on from it
};

// The start of an attempt on a prepared S: STEP back to 0, the start count, and the attempt's
// PUZZLESTART line and grid (always for the run's first attempt, from print level 2 for the rest).
void StartAttempt(PuzzleState& st, Report& report);

// One step: the technique whose code is SEQ(STEP), then the step's common tail, the count of empty
// cells filed in the history and, from print level 3, the grid listing.
void RunStep(PuzzleState& st, Report& report);

// The progress test after a step: true when the count of empty cells has not fallen since step
// STEP - NBACK (or step 1, if the attempt is younger than that).
bool ProgressStopped(const PuzzleState& st);

// Steps until the attempt ends. The first four steps are never tested; from the fifth on, the
// tests run in the order solved, step limit, progress over the last NBACK steps. With `pause`
// from 5 to below NSTEPS, the attempt pauses after that step when it did not solve the puzzle:
// there, a run with the step limit `pause` would end.
AttemptOutcome RunSteps(PuzzleState& st, Report& report, int pause = 0);

// Goes on with a paused attempt: the tests of the step it paused after, then RunSteps.
AttemptOutcome ResumeSteps(PuzzleState& st, Report& report, int pause);

}  // namespace tarvik
