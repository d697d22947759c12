// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/parameter_sets.h"
#include "control/run_parameters.h"

namespace tarvik::batch {

// Which field of a line holds the puzzle (--field): by number, by its name in the FILE's header,
// or, with neither, the default choice (a header's puzzle column, else the first field).
struct FieldChoice {
  std::uint32_t number = 0;  // --field=N, 1 or more; 0 when not given by number
  std::string name;          // --field=NAME; empty when not given by name
};

// The forms the rows are written in.
enum class RowFormat { kTsv, kCsv, kJsonl };

// Where a line's answer is for --answers: a field by number or header name; with neither, a
// header's solution or solutions field, else the count and solution of a three-field ':' line.
struct AnswerChoice {
  FieldChoice field;
};

// The bytes that end a field of a line: the delimiters, then the blanks and line ends.
inline constexpr std::string_view kFieldDelimiters = "\t,;:|";
inline constexpr std::string_view kFieldEnds = "\t,;:| \r\n";

// What the batch mode is asked to do: the parameters every puzzle is worked with, and where
// its rows, files and pages go.
struct BatchOptions : RunParameters {
  // The values of each parameter tried: the parameters above are the first of each.
  ParameterLists lists;
  std::optional<std::string> reportsDir;
  std::optional<std::string> viewsDir;
  std::optional<std::string> overview;  // the page of the whole batch
  unsigned jobs = 0;                    // 0: as many as the processors
  FieldChoice field;
  bool header = true;
  RowFormat format = RowFormat::kTsv;
  std::vector<FieldChoice> keep;  // input fields carried into each row, in this order
  std::optional<AnswerChoice> answers;
  bool quiet = false;
  std::vector<std::string> operands;  // "-" is standard input; none means standard input
};

// The head of a kept field in the header row: its name as given, or fieldN.
std::string KeptHead(const FieldChoice& field);

// The name of an operand's report files: its base name without a trailing ".gz" (any case) and
// then without the extension (from its last '.', unless that is its first character), "stdin"
// for "-".
std::string ReportName(std::string_view operand);

// Whether the batch writes a file of base name `base` in the --views folder (`page`: index.html
// and the pages, REPORTNAME-LINE.html) or in the --reports folder (REPORTNAME-LINE.txt), whether
// or not that line exists; in a sweep REPORTNAME-LINE-K.html and .txt, K one of its sets.
bool WritesFileNamed(const BatchOptions& options, std::string_view base, bool page);

// Why the --overview FILE may not be written, when its name is one the batch writes besides in
// the --views or --reports folder, the folders told apart by their names alone: the message,
// else none.
std::optional<std::string> OverviewNameClash(const BatchOptions& options);

}  // namespace tarvik::batch
