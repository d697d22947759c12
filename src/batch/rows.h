// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_options.h"
#include "batch/grading.h"
#include "batch/line_reader.h"
#include "control/outcome_counts.h"

namespace tarvik::batch {

// The first line of the rows, naming their fields; with the solutions counted, a tenth.
inline constexpr std::string_view kRowsHeader =
    "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n";
inline constexpr std::string_view kRowsHeaderWithSolutions =
    "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\tsolutions\n";

// The names of a row's own fields, which no kept field may take.
inline constexpr std::string_view kRowFieldNames[] = {"source",  "line",     "set",       "puzzle",
                                                      "outcome", "attempts", "steps",     "depth",
                                                      "empty",   "grid",     "solutions", "answer"};

// The fields of the rows and the form they are written in: the nine every row has, the parameter
// set after the line with two sets or more, then the solutions (--solutions), the answer check
// (--answers) and the kept fields (--keep), in order.
struct RowLayout {
  RowFormat format = RowFormat::kTsv;
  bool set = false;
  bool solutions = false;
  bool answer = false;
  std::vector<std::string> kept;  // the heads of the kept fields

  static RowLayout Of(const BatchOptions& options);
  // TSV with none of the fields the nine and the solutions do not have.
  bool Plain() const { return format == RowFormat::kTsv && !set && !answer && kept.empty(); }
};

// The header row, with its line feed; nothing for JSON lines, which name each field in each row.
std::string RowsHeader(const RowLayout& layout);

// `text` as a field of the layout's format: as it is in TSV, quoted where it must be in CSV, a
// JSON string (non-UTF-8 bytes as U+FFFD) in JSON lines. Rows take their source so.
std::string EncodedText(RowFormat format, std::string_view text);

// What a graded row carries beyond the puzzle's grade.
struct RowExtras {
  std::string_view set;          // the parameter set's label, as EncodedText gives it
  std::optional<int> solutions;  // 0, 1 or 2 for two or more
  std::optional<AnswerCheck> answer;
};

// Appends the row of a graded puzzle line: its source (`encodedSource`, as EncodedText gives
// it), line number, puzzle, outcome, attempts, steps, deepest guess level, empty cells left and
// final grid, then the fields of the layout beyond them.
void AppendRow(std::string& out, const RowLayout& layout, std::string_view encodedSource,
               const PuzzleLine& line, const Grade& grade, const RowExtras& extras);

// Appends the row of a refused line: its source and line number, "refused" in the outcome field,
// an empty set (null in JSON lines),
// the kept fields its line has, and every other field empty (null in JSON lines).
void AppendRefusedRow(std::string& out, const RowLayout& layout, std::string_view encodedSource,
                      const PuzzleLine& line);

}  // namespace tarvik::batch
