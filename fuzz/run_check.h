// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvik::fuzz {

// Runs `input` as the content of Sudin.txt through whole runs in memory, both report channels
// captured, and checks what a run promises:
// - refused input (status 65 or 66): nothing on the console, no Sudout.txt, and exactly one line
//   "tarvik: Sudin.txt..." on the error stream;
// - accepted input (status 0): a report that holds the start grid, exactly one outcome line, and
//   ends with the final grid, an empty line and the three file lines; the final grid keeps every
//   given and repeats no value in a unit; the file copy is the console copy, after the
//   search-sequence echo from print level 3 on;
// - the same input with a console, or a Sudout.txt, that refuses writes: the other copy is
//   complete, one message and status 74; with a Sudout.txt that cannot be created: status 73,
//   nothing on the console. The run with the failing console uses the baseline build of the
//   technique passes, so its complete Sudout.txt also compares that build with the best one.
// Returns what was wrong, or nothing when every check held.
std::optional<std::string> CheckRun(std::string_view input);

// Runs `input` as a collection on standard input through the batch mode in memory, on one thread,
// and checks what a batch promises: status 0 or 65 (66 for data compressed in a format not read,
// named alone); the header, then one row of nine fields per line that is not blank, a comment or
// a header; a refused row for each one-line message, in line order, a graded row, whose final
// grid keeps the start grid's givens, for every other, and at most one message more for damaged
// compressed data. A small collection on three threads must give the same rows, messages and
// status.
std::optional<std::string> CheckBatch(std::string_view input);

}  // namespace tarvik::fuzz
