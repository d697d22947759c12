// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <span>

#include "report/line_kinds.h"
#include "report/report.h"

namespace tarvik {

// One run heard at two print levels: the report of print level `textLevel`, laid out into `text`,
// and the writes of a run at print level 2, handed to `listener` (the run page's recorder, say).
// The print level decides only what a run writes, never what it does, so a run at RunLevel()
// makes every write of both, in their order; this tells each write's lowest print level from its
// kind (kLineLevels, which the run's gates read too) and the writes before it, and passes it on
// to each side whose level reaches it.
class LevelSplit final : public LineListener {
 public:
  LevelSplit(Report& text, std::int32_t textLevel, LineListener& listener);

  // The print level to run at: the higher of the two.
  std::int32_t RunLevel() const {
    return textLevel_ > kListenerLevel ? textLevel_ : kListenerLevel;
  }

  void OnLine(LineKind kind, std::span<const std::int32_t> values) override;
  void OnGrid(const Grid& grid) override;
  void OnPairSearch(const PairSearchResult& result) override { listener_.OnPairSearch(result); }

 private:
  static constexpr int kListenerLevel = 2;
  // The lowest print level at which a run makes this write (0: at every level); notes the level
  // of the grid listing that may follow.
  int LevelOf(LineKind kind);

  Report& text_;
  int textLevel_;  // 0 to 3: lower levels write as 0 does, higher as 3
  LineListener& listener_;
  bool started_ = false;  // the first attempt's start has been written
  int listingLevel_ = 0;  // that of a grid listing from here: of the line just above it
};

}  // namespace tarvik
