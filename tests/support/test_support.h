// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "report/report.h"
#include "state/puzzle_state.h"
#include "support/memory_files.h"

namespace tarvik::testing {

// The nine rows of the example's Sudin.txt, as the file gives them.
inline const std::string kExampleRows =
    "5 3 0 0 7 0 0 0 0\n6 0 0 1 9 5 0 0 0\n0 9 8 0 0 0 0 6 0\n8 0 0 0 6 0 0 0 3\n"
    "4 0 0 8 0 3 0 0 1\n7 0 0 0 2 0 0 0 6\n0 6 0 0 0 0 2 8 0\n0 0 0 4 1 9 0 0 5\n"
    "0 0 0 0 8 0 0 7 9\n";

// A grid from 81 digits, row by row; blanks between rows are ignored.
inline Grid GridOf(std::string_view digits) {
  Grid grid;
  int k = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') continue;
    grid(k / 9 + 1, k % 9 + 1) = static_cast<std::int8_t>(c - '0');
    ++k;
  }
  return grid;
}

inline std::string DigitsOf(const Grid& grid) {
  std::string out;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) out += static_cast<char>('0' + grid(i, j));
    if (i < 9) out += ' ';
  }
  return out;
}

// A report whose two channels are kept in memory.
struct CapturedReport {
  StringSink console;
  StringSink file;
  Report report{console, file};

  // Hands everything over; returns the console copy (the file copy is in `file`).
  std::string Text() {
    report.Finish();
    return console.text();
  }
};

// A state with `grid` as start and working grid and the given print level.
inline PuzzleState StateOf(std::string_view digits, int printLevel = 0) {
  PuzzleState st;
  st.SSTART = GridOf(digits);
  st.S = st.SSTART;
  st.IPRINT = printLevel;
  return st;
}

}  // namespace tarvik::testing
