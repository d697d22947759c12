// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/grading.h"
#include "batch/line_reader.h"
#include "system/exit_status.h"
#include "system/files.h"

namespace tarvik::batch {

// One line of the batch on its way: read by the reader, worked by a worker, written in order.
struct Job {
  std::uint64_t place = 0;  // among all jobs of the batch, set when the job is worked
  std::size_t operand = 0;
  PuzzleLine line;
  // What the worker made of it.
  std::string row;                 // the row, with its line feed
  std::string message;             // a refused line's message, with its line feed
  std::optional<Outcome> outcome;  // a graded line's outcome
  RunSummary run;                  // and the rest of its run
  std::optional<int> solutions;    // its solutions, when counted: 0, 1 or 2 (two or more)
  // Set for no line but a message about the operand (not read, or read in part) that keeps its
  // place among the rows' messages: the status it gives. `row` then holds the reason alone.
  std::optional<ExitStatus> notice;
  bool notRead = false;  // with a notice: the operand gave no row at all
  // Set for no line but the end of the operand: the lines it had.
  std::optional<std::int64_t> operandEnd;
};

// Why a line's work could not be done; the batch stops before that line.
struct WorkFailure {
  ExitStatus status = ExitStatus::kSuccess;
  std::string message;  // the whole message line, with its line feed
};

// A file that no report file or page may replace: an input, or standard output.
struct TakenFile {
  std::string what;  // "the input NAME" or "standard output"
  FileId id;
};

// What a worker does with one line: grades it, writes its report file and page when asked for,
// and formats its row (or a refused line's row and message).
class LineWork {
 public:
  // `sources` are the operands as given, `names` their report names.
  LineWork(const BatchOptions& options, Files& files, const std::vector<std::string>& sources,
           const std::vector<std::string>& names, const std::vector<TakenFile>& taken);

  std::optional<WorkFailure> Do(Job& job) const;

 private:
  std::optional<WorkFailure> GradeWithFiles(Job& job, Grade& grade) const;
  // A new file to replace `name` when committed; null and a failure when it cannot be made, or
  // when `name` is one of the taken files.
  std::unique_ptr<ReplacementFile> Create(const std::string& name,
                                          std::optional<WorkFailure>& failure) const;

  const BatchOptions& options_;
  Files& files_;
  const std::vector<std::string>& sources_;
  const std::vector<std::string>& names_;
  const std::vector<TakenFile>& taken_;
  const Parameters parameters_;
};

}  // namespace tarvik::batch
