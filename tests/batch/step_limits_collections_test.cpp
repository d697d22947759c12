// SPDX-License-Identifier: MIT
// A sweep's lower step limits read off one run, against runs of their own on the collections: a
// slow test, run by CI.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "batch/grading.h"
#include "control/run_parameters.h"
#include "support/corpus_dir.h"

namespace tarvik::batch {
namespace {

namespace fs = std::filesystem;

std::string Digits(const Grid& grid) {
  std::string digits;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) digits += static_cast<char>('0' + grid(i, j));
  }
  return digits;
}

// One run at the most steps gives the grade of every lower step limit: on every fourth line of
// every collection, each is the grade of a run of its own at that limit, with the default
// parameters and, on every eighth, with a look-back of 1 and a short sequence.
TEST(StepLimitsCollectionsTest, LowerStepLimitsAreReadOffTheLongestRun) {
  SKIP_WITHOUT_COLLECTIONS();
  const std::vector<std::int32_t> limits = {5, 7, 10, 25, 40, 70, 99};
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(testing::CorpusDir())) {
    if (entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path());
    std::size_t taken = 0;
    for (std::string line; std::getline(in, line);) {
      if (line.size() < 81 || line[0] == '#' || taken++ % 4 != 0) continue;
      Grid start;
      bool valid = true;
      for (std::size_t k = 0; k < 81; ++k) {
        const char cell = line[k];
        if (cell != '.' && (cell < '0' || cell > '9')) valid = false;
        start(static_cast<int>(k / 9) + 1, static_cast<int>(k % 9) + 1) =
            static_cast<std::int8_t>(cell == '.' || !valid ? 0 : cell - '0');
      }
      if (!valid) continue;
      for (const auto& [lookBack, sequence] : {std::pair{4, "4123"}, std::pair{1, "21"}}) {
        if (lookBack == 1 && taken % 8 != 1) continue;
        SCOPED_TRACE(entry.path().filename().string() + ": " + line.substr(0, 81) + " " +
                     std::to_string(lookBack) + "/" + sequence);
        RunParameters parameters;
        parameters.lookBack = lookBack;
        parameters.sequence = sequence;
        parameters.steps = 100;
        PuzzleState longest = StateFor(start, parameters);
        std::vector<Grade> shorter(limits.size());
        const Grade grade = GradePuzzle(longest, limits, shorter);
        PuzzleState alone = StateFor(start, parameters);
        EXPECT_EQ(GradePuzzle(alone).summary, grade.summary);
        for (std::size_t k = 0; k < limits.size(); ++k) {
          parameters.steps = limits[k];
          PuzzleState own = StateFor(start, parameters);
          const Grade expected = GradePuzzle(own);
          EXPECT_EQ(shorter[k].summary, expected.summary) << limits[k];
          EXPECT_EQ(shorter[k].empty, expected.empty) << limits[k];
          EXPECT_EQ(Digits(shorter[k].final), Digits(expected.final)) << limits[k];
        }
        ++checked;
      }
    }
  }
  EXPECT_GT(checked, 1500);
}

}  // namespace
}  // namespace tarvik::batch
