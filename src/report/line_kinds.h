// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

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

}  // namespace tarvik
