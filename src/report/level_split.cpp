// SPDX-License-Identifier: MIT
#include "report/level_split.h"

#include <algorithm>

namespace tarvik {

LevelSplit::LevelSplit(Report& text, std::int32_t textLevel, LineListener& listener)
    : text_(text), textLevel_(std::clamp(textLevel, 0, 3)), listener_(listener) {}

int LevelSplit::LevelOf(LineKind kind) {
  switch (kind) {
    case LineKind::PUZZLESTART:
      // The first attempt's start is written at every level; its grid listing goes with it.
      listingLevel_ = started_ ? LowestPrintLevel(kind) : 0;
      started_ = true;
      return listingLevel_;
    case LineKind::MATRIXHEADER:
      listingLevel_ = kStepListingLevel;  // a listing right after a count is the step's
      break;
    case LineKind::MATRIXROW: return listingLevel_;  // a row of a listing handed on as lines
    case LineKind::PUZZLESOLVED:
    case LineKind::MAXSTEPS:
    case LineKind::NOSOLUTION:
    case LineKind::NOMOREGUESSES:
      listingLevel_ = 0;  // the final grid, written at every level
      break;
    default: break;
  }
  return LowestPrintLevel(kind);
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
