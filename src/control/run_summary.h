// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

#include "report/line_kinds.h"

namespace tarvik {

// How a run ended: the four outcome lines of the report.
enum class Outcome { kSolved, kStepLimit, kNoSolution, kNoFurtherGuesses };

// The outcome's name, as a batch row gives it: solved, step-limit, no-solution or
// no-further-guesses.
constexpr std::string_view OutcomeName(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSolved: return "solved";
    case Outcome::kStepLimit: return "step-limit";
    case Outcome::kNoSolution: return "no-solution";
    case Outcome::kNoFurtherGuesses: return "no-further-guesses";
  }
  return "";
}

// The report line that says the outcome.
constexpr LineKind OutcomeLine(Outcome outcome) {
  switch (outcome) {
    case Outcome::kSolved: return LineKind::PUZZLESOLVED;
    case Outcome::kStepLimit: return LineKind::MAXSTEPS;
    case Outcome::kNoSolution: return LineKind::NOSOLUTION;
    case Outcome::kNoFurtherGuesses: return LineKind::NOMOREGUESSES;
  }
  return LineKind::NOSOLUTION;
}

// What a run did, as its report shows at print level 2: attempt starts (the first and one per
// restart), technique steps over all attempts, and the highest guess level an attempt started
// with.
struct RunSummary {
  Outcome outcome = Outcome::kSolved;
  std::int64_t attempts = 0;
  std::int64_t steps = 0;
  std::int32_t depth = 0;
  friend bool operator==(const RunSummary&, const RunSummary&) = default;
};

}  // namespace tarvik
