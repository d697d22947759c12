// SPDX-License-Identifier: MIT
#include "batch/grading.h"

#include <array>
#include <string>

#include "state/empty_cells.h"

namespace tarvik::batch {

PuzzleState StateFor(const Grid& start, const RunParameters& parameters) {
  PuzzleState st;
  st.SSTART = start;
  st.IPRINT = parameters.printLevel;
  st.NBACK = parameters.lookBack;
  st.NSTEPS = parameters.steps;
  const std::string& codes = parameters.sequence;
  for (int k = 1; k <= parameters.steps; ++k) {
    st.SEQ(k) = codes[static_cast<std::size_t>(k - 1) % codes.size()] - '0';
  }
  return st;
}

Grade GradePuzzle(PuzzleState& st, Report& report) {
  Grade grade;
  grade.summary = Solve(st, report);
  grade.final = st.S;
  grade.empty = EmptyCells(st.S);
  return grade;
}

Grade GradePuzzle(PuzzleState& st) {
  NullListener ignored;
  Report report(ignored);
  return GradePuzzle(st, report);
}

namespace {

// The grades of the runs with lower step limits, each where its run ends.
class ShorterGrades final : public ShorterLimits {
 public:
  ShorterGrades(std::span<const std::int32_t> limits, std::span<Grade> grades)
      : limits_(limits), grades_(grades) {}
  std::span<const std::int32_t> Limits() const override { return limits_; }
  void Ended(std::size_t k, const RunSummary& summary, const PuzzleState& st) override {
    grades_[k] = {summary, EmptyCells(st.S), st.S};
    ended_[k] = true;
  }
  bool ended(std::size_t k) const { return ended_[k]; }

 private:
  std::span<const std::int32_t> limits_;
  std::span<Grade> grades_;
  std::array<bool, 101> ended_{};
};

}  // namespace

Grade GradePuzzle(PuzzleState& st, std::span<const std::int32_t> limits, std::span<Grade> grades) {
  NullListener ignored;
  Report report(ignored);
  ShorterGrades shorter(limits, grades);
  Grade grade;
  grade.summary = Solve(st, report, shorter);
  grade.final = st.S;
  grade.empty = EmptyCells(st.S);
  // A shorter run that never reached its limit unsolved ended as the longer one did.
  for (std::size_t k = 0; k < limits.size(); ++k) {
    if (!shorter.ended(k)) grades[k] = grade;
  }
  return grade;
}

}  // namespace tarvik::batch
