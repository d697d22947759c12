#pragma once

#include <iosfwd>

#include "control/exit_status.h"
#include "control/run_files.h"
#include "report/report.h"
#include "report/sinks.h"
#include "state/puzzle_state.h"

namespace tarvik {

// Works the puzzle read into `st` from start to finish, writing the report: the search-sequence
// echo (file only, print level 3), the attempts, each ended by the guess logic or by an outcome,
// and the finish sequence (final grid and file banner). One flat loop: every restart is a further
// iteration, never a deeper call.
void Solve(PuzzleState& st, Report& report);

// A whole run: reads Sudin.txt, refuses it with a message on `errors` or creates Sudout.txt, solves
// and writes the report to `console` and the file. Returns the exit status.
ExitStatus Run(RunFiles& files, Sink& console, std::ostream& errors);

}  // namespace tarvik
