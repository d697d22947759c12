// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "control/run_summary.h"

namespace tarvik {

inline constexpr std::size_t kOutcomes = 4;  // the values of Outcome

// What a puzzle's row says of the answer its line carries (--answers): the solved grid is it, is
// another solution of a puzzle with several, or is not it (or the count of solutions is not); the
// puzzle is not solved; the line has no answer; the answer is neither a grid nor a count.
enum class AnswerCheck { kMatch, kOther, kDiffers, kUnsolved, kNone, kBad };
inline constexpr std::size_t kAnswerChecks = 6;

constexpr std::string_view AnswerName(AnswerCheck check) {
  constexpr std::string_view kNames[] = {"match", "other", "differs", "unsolved", "none", "bad"};
  return kNames[static_cast<std::size_t>(check)];
}

// Lines, puzzles, refused lines, outcomes and solutions, of one FILE or of several: what the
// summary on standard error, its line for each FILE and the batch's overview all count. A new
// count of the rows goes here, and into Count.
struct LineCounts {
  std::int64_t linesRead = 0;  // blank and comment lines included
  std::int64_t puzzles = 0;
  std::int64_t refused = 0;
  std::array<std::int64_t, kOutcomes> outcomes{};
  // Puzzles with none, one, two or more solutions, when counted.
  std::array<std::int64_t, 3> solutions{};
  // Puzzles by what their answers check gave, when checked.
  std::array<std::int64_t, kAnswerChecks> answers{};

  // Counts a row: a puzzle with its `outcome` (and its solutions, when counted: 0, 1 or 2 for two
  // or more; and its answer check, when checked), or else a refused line.
  void Count(std::optional<Outcome> outcome, std::optional<int> solutionsCounted,
             std::optional<AnswerCheck> answer = std::nullopt) {
    if (!outcome) {
      ++refused;
      return;
    }
    ++puzzles;
    ++outcomes[static_cast<std::size_t>(*outcome)];
    if (solutionsCounted)
      ++solutions[static_cast<std::size_t>(std::clamp(*solutionsCounted, 0, 2))];
    if (answer) ++answers[static_cast<std::size_t>(*answer)];
  }
};

// One FILE of a batch and its counts.
struct FileTally {
  std::size_t operand = 0;  // its index among the operands, from 0
  std::string source;       // the operand as given, "-" for standard input
  LineCounts counts;
  std::optional<std::string> notRead;  // why the FILE could not be read (or read to its end)
};

}  // namespace tarvik
