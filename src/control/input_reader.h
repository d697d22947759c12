// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "state/puzzle_state.h"
#include "system/exit_status.h"
#include "system/source.h"

namespace tarvik {

// Why the input was refused: the exit status, the line it concerns (0 when no line applies) and
// what is wrong.
struct InputError {
  ExitStatus status;
  std::int64_t line;
  std::string message;
  friend bool operator==(const InputError&, const InputError&) = default;
};

// Reads the puzzle definition into SSTART, IPRINT, NBACK, NSTEPS and SEQ, in eleven reads: the nine
// grid rows, the line of run parameters, and the search sequence. Each read starts on a new line,
// takes values across as many lines as it needs and ignores the rest of the last line it took
// values from. Blanks, tabs, commas and carriage returns separate values; only a line feed ends a
// line; a value is a whole token [+-]?[0-9]+ that fits in 32 bits. Refuses what the solver cannot
// work with: cells outside 0 to 9, a value twice in a unit, a look-back below 1, a number of steps
// outside 5 to 100, codes outside 1 to 4. Memory use does not depend on the file's size.
std::optional<InputError> ReadPuzzleFile(Source& in, PuzzleState& st);

}  // namespace tarvik
