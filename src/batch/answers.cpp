// SPDX-License-Identifier: MIT
#include "batch/answers.h"

#include <algorithm>
#include <cstdint>

#include "system/quoting.h"

namespace tarvik::batch {
namespace {

bool IsGrid(std::string_view text) {
  return text.size() == 81 &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '1' && c <= '9'; });
}

// A count of solutions: digits alone, taken as 2 from 2 on.
std::optional<int> CountOf(std::string_view text) {
  if (text.empty() ||
      !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return std::nullopt;
  }
  const std::size_t first = std::min(text.find_first_not_of('0'), text.size());
  const std::string_view digits = text.substr(first);
  if (digits.empty()) return 0;
  return digits.size() == 1 && digits[0] == '1' ? 1 : 2;
}

// The line's answer: its grid and its count, where it has them; false where either is neither.
bool AnswerOf(const PuzzleLine& line, std::optional<std::string_view>& grid,
              std::optional<int>& count) {
  if (line.answerCount) {
    count = CountOf(*line.answerCount);
    if (!count) return false;
  }
  if (!line.answer || line.answer->empty()) {
    // A count of 0 beside no solution says that none was given.
    if (count == 0) count.reset();
    return true;
  }
  if (IsGrid(*line.answer)) {
    grid = *line.answer;
    return true;
  }
  // A field of its own may hold a count instead; beside a count, or 81 long, it must be a grid.
  if (line.answerCount || line.answer->size() == 81) return false;
  count = CountOf(*line.answer);
  return count.has_value();
}

}  // namespace

AnswerCheck CheckAnswer(const PuzzleLine& line, const Grade& grade, std::optional<int> solutions) {
  std::optional<std::string_view> grid;
  std::optional<int> count;
  if (!AnswerOf(line, grid, count)) return AnswerCheck::kBad;
  const bool countCompared = count && solutions;
  if (!grid && !countCompared) return AnswerCheck::kNone;
  if (countCompared && *count != *solutions) return AnswerCheck::kDiffers;
  if (!grid) return AnswerCheck::kMatch;
  if (grade.summary.outcome != Outcome::kSolved) return AnswerCheck::kUnsolved;
  std::int8_t cells[81];
  grade.final.CopyRows(cells);
  bool same = true;
  for (std::size_t k = 0; k < 81; ++k) same = same && (*grid)[k] - '0' == cells[k];
  if (same) return AnswerCheck::kMatch;
  const bool several = (count && *count == 2) || (solutions && *solutions == 2);
  return several ? AnswerCheck::kOther : AnswerCheck::kDiffers;
}

std::string BadAnswer(const PuzzleLine& line) {
  if (line.answerCount && !CountOf(*line.answerCount)) {
    return "answer: found " + Quoted(*line.answerCount) + " in the count's field, expected digits";
  }
  return "answer: found " + Quoted(line.answer.value_or("")) +
         ", expected 81 digits 1-9 or a count of solutions";
}

}  // namespace tarvik::batch
