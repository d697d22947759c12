// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/line_reader.h"
#include "control/outcome_counts.h"
#include "control/run_summary.h"
#include "system/exit_status.h"

namespace tarvik::batch {

// One line of the batch on its way, or one part of a sweep's line: read by the reader, worked by
// a worker, written in order. The pool reuses its jobs, so each of the three kinds is set whole by
// its own setter.
struct Job {
  std::uint64_t place = 0;  // among all jobs of the batch, set when the job is worked
  std::size_t operand = 0;
  PuzzleLine line;
  // A sweep's line is worked in parts, each a job of its own with the line's sets (or some of
  // them) for its workers; the thread delivering puts the parts of a line together again. Part
  // `part` of `parts`; no parts (0) for a line worked whole, a notice and an operand's end.
  std::size_t part = 0;
  std::size_t parts = 0;
  // The bytes of all inputs up to the end of the line (compressed ones as compressed), for
  // progress.
  std::uint64_t inputEnd = 0;
  // What the worker made of it.
  std::string row;                    // the row, with its line feed
  std::string message;                // a refused line's message, with its line feed
  std::optional<Outcome> outcome;     // a graded line's outcome
  RunSummary run;                     // and the rest of its run
  std::optional<int> solutions;       // its solutions, when counted: 0, 1 or 2 (two or more)
  std::optional<AnswerCheck> answer;  // its answer check, when asked for
  // With two parameter sets or more, each set's outcome, run and answer check, in set order (none
  // for a refused line); the fields above then hold the first set's. A part of a line holds its
  // own sets' alone, each with its number and its row (`row` above is then empty); a line put
  // together from its parts keeps each set's row beside all of them in `row`.
  struct SetResult {
    Outcome outcome = Outcome::kSolved;
    RunSummary run;
    std::optional<AnswerCheck> answer;
    std::size_t set = 0;
    std::string row;
  };
  std::vector<SetResult> sets;
  // Set for no line but a message about the operand (not read, or read in part) that keeps its
  // place among the rows' messages: the status it gives, in `message`.
  std::optional<ExitStatus> notice;
  std::string reason;    // with a notice: why, without the operand's name
  bool notRead = false;  // with a notice: the operand gave no row at all
  // Set for no line but the end of the operand: the lines it had.
  std::optional<std::int64_t> operandEnd;

  // A line of the operand, to be worked; or its part `ofLine` of `lineParts`.
  void SetLine(std::size_t fromOperand, PuzzleLine&& read, std::size_t ofLine = 0,
               std::size_t lineParts = 0);
  // A notice about the operand: the `status` it gives, `why` and the whole message line;
  // `gaveNoRow` when the operand gave no row at all.
  void SetNotice(std::size_t fromOperand, ExitStatus status, bool gaveNoRow, std::string_view why,
                 std::string&& messageLine);
  // The end of the operand, after `lines` lines.
  void SetOperandEnd(std::size_t fromOperand, std::int64_t lines);
};

}  // namespace tarvik::batch
