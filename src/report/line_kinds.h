// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <iterator>

namespace tarvik {

// Every kind of report line; each is one constant template (report/line_templates.h).
enum class LineKind : std::uint8_t {
  SEARCHSEQUENCE,
  PUZZLESTART,
  PUZZLESOLVED,
  MAXSTEPS,
  NOPROGRESS,
  PAIRFOUND,
  RESTARTING,
  GUESSAPPLIED,
  NOSOLUTION,
  NOMOREGUESSES,  // our own: the guesses ran out without proving the puzzle wrong
  FILEBANNER,
  ROWSTEP,
  COLUMNSTEP,
  BOXSTEP,
  SINGLESTEP,
  CELLFOUND,
  CELLFOUNDCOLUMN,
  FOUNDCOUNT,
  MATRIXHEADER,
  MATRIXROW,
};
inline constexpr int kLineKindCount = static_cast<int>(LineKind::MATRIXROW) + 1;

// The lowest print level at which a run writes each kind of line, in the order of LineKind (0: at
// every print level, the negative ones too). The run's gates and LevelSplit both read it here. Two
// kinds also depend on what came before them: the first attempt's PUZZLESTART is written at every
// level, the later ones from theirs; and a MATRIXROW, a row of a grid listing, goes with the line
// above its listing: an attempt's PUZZLESTART, a step's count (kStepListingLevel) or, for the
// final grid, the outcome (at every level).
struct LineLevel {
  LineKind kind;
  std::int8_t level;
};
inline constexpr LineLevel kLineLevels[] = {
    {LineKind::SEARCHSEQUENCE, 3},  // in Sudout.txt only
    {LineKind::PUZZLESTART, 2},     {LineKind::PUZZLESOLVED, 0}, {LineKind::MAXSTEPS, 0},
    {LineKind::NOPROGRESS, 2},      {LineKind::PAIRFOUND, 2},    {LineKind::RESTARTING, 1},
    {LineKind::GUESSAPPLIED, 1},    {LineKind::NOSOLUTION, 0},   {LineKind::NOMOREGUESSES, 0},
    {LineKind::FILEBANNER, 0},      {LineKind::ROWSTEP, 2},      {LineKind::COLUMNSTEP, 2},
    {LineKind::BOXSTEP, 2},         {LineKind::SINGLESTEP, 2},   {LineKind::CELLFOUND, 2},
    {LineKind::CELLFOUNDCOLUMN, 2}, {LineKind::FOUNDCOUNT, 2},   {LineKind::MATRIXHEADER, 2},
    {LineKind::MATRIXROW, 0},  // never gated by its own kind: see above
};
// The grid listing after each step, below its count.
inline constexpr int kStepListingLevel = 3;

constexpr bool EveryKindInItsPlace() {
  for (std::size_t k = 0; k < std::size(kLineLevels); ++k) {
    if (static_cast<std::size_t>(kLineLevels[k].kind) != k) return false;
  }
  return std::size(kLineLevels) == static_cast<std::size_t>(kLineKindCount);
}
static_assert(EveryKindInItsPlace(), "kLineLevels: one entry per line kind, in LineKind's order");

constexpr int LowestPrintLevel(LineKind kind) {
  return kLineLevels[static_cast<std::size_t>(kind)].level;
}

// Whether a run at `printLevel` writes lines of `kind`.
constexpr bool Prints(std::int32_t printLevel, LineKind kind) {
  const int lowest = LowestPrintLevel(kind);
  return lowest == 0 || printLevel >= lowest;
}

}  // namespace tarvik
