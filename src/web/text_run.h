// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "control/run_summary.h"
#include "state/puzzle_state.h"
#include "system/exit_status.h"

namespace tarvik::web {

// One classic run on the text of a Sudin.txt, in memory: no file is opened and no thread started.
struct TextRun {
  ExitStatus status = ExitStatus::kSuccess;
  std::string console;             // standard output, byte for byte
  std::string file;                // Sudout.txt
  std::string errors;              // standard error: the refusal of the input, if any
  std::optional<Outcome> outcome;  // none when the input was refused
  PuzzleState input;               // the puzzle as read, for its page
};

// Reads `sudin` as the classic run reads Sudin.txt and, when it is accepted, solves it, writing
// both channels of the report.
TextRun RunText(std::string_view sudin);

// The run page of an accepted input, as --view draws it.
std::string PageOf(const PuzzleState& input);

}  // namespace tarvik::web
