// SPDX-License-Identifier: MIT
#pragma once

#include "report/report.h"
#include "state/puzzle_state.h"

namespace tarvik {

// Scans the empty cells row by row and stops at the first that is dead (NCAND 0) or has exactly
// two candidates (NCAND 2, the values in CAND1 < CAND2), leaving I and J at that cell. If none is
// found, I and J end at 10 and NCAND holds the count of the last empty cell scanned.
void SEARCHFORPAIR(PuzzleState& st);

enum class GuessOutcome {
  kRestart,  // the guesses changed and S is prepared for a new attempt
  kGiveUp,   // no guess is left to try; the outcome line has been written
};

// Entered when an attempt has stalled; tells the report what the pair search found (a listener
// hears it at every print level). Pushes the first two-value cell as a guess with its smaller
// value in force; on a dead cell, no two-value cell, or a full stack, backtracks to the most recent
// guess whose second value is untried. Any change of the guesses restarts from the start grid with
// every guess applied, oldest first. With no guess left it writes NOSOLUTION, or NOMOREGUESSES if
// some backtrack of the run met no contradiction, so that "no solution" was never proven.
GuessOutcome GuessAfterStall(PuzzleState& st, Report& report);

}  // namespace tarvik
