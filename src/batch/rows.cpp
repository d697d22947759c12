// SPDX-License-Identifier: MIT
#include "batch/rows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarvik::batch {
namespace {

// Writes the decimal digits of `value` at `out`; returns the end.
char* PutNumber(char* out, std::uint64_t value) {
  char digits[20];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::copy(first, digits + sizeof digits, out);
}

// Writes the 81 cells of `grid` as digits at `out`, with room for 7 bytes more; returns the end.
char* PutGrid(char* out, const Grid& grid) {
  std::int8_t cells[88] = {};
  grid.CopyRows(cells);
  // Cells hold 0 to 9: adding '0' to eight of them at once carries nothing over.
  for (int k = 0; k < 88; k += 8) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, cells + k, 8);
    eight += 0x3030303030303030u;
    std::memcpy(out + k, &eight, 8);
  }
  return out + 81;
}

void PutSourceAndLine(std::string& out, std::string_view source, std::int64_t line) {
  char number[24];
  out += source;
  out += '\t';
  out.append(number, PutNumber(number, static_cast<std::uint64_t>(line)));
}

}  // namespace

void AppendRow(std::string& out, std::string_view source, const PuzzleLine& line,
               const Grade& grade, std::optional<int> solutions) {
  PutSourceAndLine(out, source, line.line);
  // The rest of the row is at most 81 + 81 + 18 + 3 * 20 + 2 + 2 + 10 characters, and the grid
  // writes 7 bytes past its end.
  char row[256];
  char* at = row;
  *at++ = '\t';
  at = std::copy(line.digits.begin(), line.digits.end(), at);
  *at++ = '\t';
  const std::string_view outcome = OutcomeName(grade.summary.outcome);
  at = std::copy(outcome.begin(), outcome.end(), at);
  for (const std::int64_t count :
       {std::int64_t{grade.summary.attempts}, std::int64_t{grade.summary.steps},
        std::int64_t{grade.summary.depth}, std::int64_t{grade.empty}}) {
    *at++ = '\t';
    at = PutNumber(at, static_cast<std::uint64_t>(count));
  }
  *at++ = '\t';
  at = PutGrid(at, grade.final);
  if (solutions) {
    *at++ = '\t';
    *at++ = static_cast<char>('0' + *solutions);
  }
  *at++ = '\n';
  out.append(row, static_cast<std::size_t>(at - row));
}

void AppendRefusedRow(std::string& out, std::string_view source, std::int64_t line,
                      bool solutionsField) {
  PutSourceAndLine(out, source, line);
  out += solutionsField ? "\t\trefused\t\t\t\t\t\t\n" : "\t\trefused\t\t\t\t\t\n";
}

}  // namespace tarvik::batch
