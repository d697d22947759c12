// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "view/batch_tally.h"

namespace tarvik::view::testing {

// Feeds a tally the rows of a made-up batch, the same for the same arguments: three collections
// of `rows` puzzle lines in all, with every outcome, long runs now and then, a refused line in
// every 90 and a FILE that could not be read between the first and the second; every graded
// puzzle has a page. Names are made up too: a.txt, b.txt, c.txt.
inline void FeedSyntheticBatch(BatchTally& tally, std::int64_t rows) {
  std::uint64_t state = 0x2545F4914F6CDD1Du;
  const auto next = [&state](std::uint64_t below) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state % below;
  };
  const std::array<std::string, 3> sources = {"a.txt", "b.txt", "c.txt"};
  std::string puzzle(81, '0');
  std::string page;
  std::size_t operand = 0;
  std::int64_t line = 0;
  for (std::int64_t k = 0; k < rows; ++k) {
    const std::size_t file = static_cast<std::size_t>(3 * k / rows);
    const std::size_t index = file == 0 ? 0 : file + 1;  // operand 1 is the unreadable one
    if (index != operand) {
      tally.FileDone(operand, sources[operand == 0 ? 0 : operand - 1], line + 2);
      if (operand == 0) tally.FileNotRead(1, "missing.txt", "No such file or directory");
      operand = index;
      line = 0;
    }
    ++line;
    const RowPlace place{operand, sources[file], line};
    if (next(90) == 0) {
      tally.AddRefused(place, "the line has 80 cells, not 81");
      continue;
    }
    for (char& c : puzzle) c = next(3) == 0 ? static_cast<char>('1' + next(9)) : '0';
    const std::uint64_t roll = next(100);
    GradedRow row;
    row.place = place;
    row.puzzle = puzzle;
    row.run.outcome = roll < 70   ? Outcome::kSolved
                      : roll < 82 ? Outcome::kStepLimit
                      : roll < 88 ? Outcome::kNoSolution
                                  : Outcome::kNoFurtherGuesses;
    row.run.depth = static_cast<std::int32_t>(next(4) == 0 ? next(9) : next(3));
    row.run.attempts = 1 + static_cast<std::int64_t>(next(1u << (1 + next(10))));
    row.run.steps = row.run.attempts * (5 + static_cast<std::int64_t>(next(30)));
    const std::uint64_t count = next(20);
    row.solutions = count == 0 ? 0 : count == 1 ? 2 : 1;
    page = sources[file].substr(0, 1) + "-" + std::to_string(line) + ".html";
    row.page = page;
    tally.AddGraded(row);
  }
  tally.FileDone(operand, sources[operand == 0 ? 0 : operand - 1], line + 2);
}

}  // namespace tarvik::view::testing
