// SPDX-License-Identifier: MIT
#include "report/level_split.h"

#include <algorithm>

namespace tarvik {

LevelSplit::LevelSplit(Report& text, std::int32_t textLevel, LineListener& listener)
    : text_(text), textLevel_(std::clamp(textLevel, 0, 3)), listener_(listener) {}

int LevelSplit::LevelOf(LineKind kind) {
  switch (kind) {
    case LineKind::SEARCHSEQUENCE: return 3;
    case LineKind::PUZZLESTART: {
      // The first attempt's start is written at every level, later ones from level 2; its grid
      // listing goes with it.
      listingLevel_ = started_ ? 2 : 0;
      started_ = true;
      return listingLevel_;
    }
    case LineKind::MATRIXHEADER:
      listingLevel_ = 3;  // a listing right after a count is the step's
      return 2;
    case LineKind::MATRIXROW: return listingLevel_;  // a row of a listing handed on as lines
    case LineKind::PUZZLESOLVED:
    case LineKind::MAXSTEPS:
    case LineKind::NOSOLUTION:
    case LineKind::NOMOREGUESSES:
      listingLevel_ = 0;  // the final grid
      return 0;
    case LineKind::FILEBANNER: return 0;
    case LineKind::RESTARTING:
    case LineKind::GUESSAPPLIED: return 1;
    case LineKind::NOPROGRESS:
    case LineKind::PAIRFOUND:
    case LineKind::ROWSTEP:
    case LineKind::COLUMNSTEP:
    case LineKind::BOXSTEP:
    case LineKind::SINGLESTEP:
    case LineKind::CELLFOUND:
    case LineKind::CELLFOUNDCOLUMN:
    case LineKind::FOUNDCOUNT: return 2;
  }
  return 0;
}

void LevelSplit::OnLine(LineKind kind, std::span<const std::int32_t> values) {
  const int level = LevelOf(kind);
  if (level <= kListenerLevel) listener_.OnLine(kind, values);
  if (level > textLevel_) return;
  if (kind == LineKind::SEARCHSEQUENCE) {
    text_.WRITELINE(Report::Channel::kFile, kind, values);  // the one line for the file alone
  } else {
    text_.REPORTLINE(kind, values);
  }
}

void LevelSplit::OnGrid(const Grid& grid) {
  // A listing goes where the line above it went, a step's only from level 3.
  if (listingLevel_ <= kListenerLevel) listener_.OnGrid(grid);
  if (listingLevel_ <= textLevel_) text_.ListGrid(grid);
}

}  // namespace tarvik
