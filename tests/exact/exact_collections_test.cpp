// SPDX-License-Identifier: MIT
// The exact solver over the public collections: its counts and solutions against the `.solved`
// files computed independently, and its counts against the outcomes of the classic algorithm.
// Each test skips, saying so, where the collections are absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "batch/grading.h"
#include "control/run_parameters.h"
#include "exact/exact_solver.h"
#include "exact/grid_check.h"
#include "support/corpus_dir.h"

namespace tarvik::exact {
namespace {

namespace fs = std::filesystem;
using testing::CellsOf;
using testing::DigitsOf;
using testing::ProblemWith;

std::vector<fs::path> Collections() {
  std::vector<fs::path> collections;
  for (const auto& entry : fs::directory_iterator(tarvik::testing::CorpusDir())) {
    if (entry.path().extension() == ".txt") collections.push_back(entry.path());
  }
  std::sort(collections.begin(), collections.end());
  return collections;
}

// The puzzles of a collection, as their first 81 characters: header and short lines left out.
std::vector<std::string> PuzzlesOf(const fs::path& collection) {
  std::vector<std::string> puzzles;
  std::ifstream in(collection);
  for (std::string line; std::getline(in, line);) {
    if (line.size() >= 81 && line[0] != '#') puzzles.push_back(line.substr(0, 81));
  }
  return puzzles;
}

TEST(ExactCollectionsTest, CountsAndSolutionsAgreeWithTheSolvedFiles) {
  SKIP_WITHOUT_COLLECTIONS();
  int checked = 0;
  for (const fs::path& collection : Collections()) {
    fs::path solvedFile = collection;
    solvedFile.replace_extension(".solved");
    std::ifstream solved(solvedFile);
    ASSERT_TRUE(solved) << solvedFile;
    for (const std::string& puzzle : PuzzlesOf(collection)) {
      SCOPED_TRACE(collection.filename().string() + ": " + puzzle);
      std::string line;
      ASSERT_TRUE(std::getline(solved, line)) << "no line left in " << solvedFile;
      std::istringstream fields(line);
      std::string same;
      int expected = -1;
      std::string solution;
      fields >> same >> expected >> solution;
      ASSERT_EQ(same, puzzle) << "the .solved line is of another puzzle";

      const Cells cells = CellsOf(puzzle);
      Cells first{};
      const int count = static_cast<int>(CountSolutions(cells, first));
      EXPECT_EQ(count, expected);
      if (count >= 1) {
        EXPECT_EQ(ProblemWith(first, cells), "") << DigitsOf(first);
      }
      if (expected == 1) {
        EXPECT_EQ(DigitsOf(first), solution);
      }
      ++checked;
    }
  }
  EXPECT_GT(checked, 6000);
}

// The classic algorithm guesses only on two-value cells and gives up after ten levels, so it may
// miss solutions, but what it finds must hold: an outcome no-solution has no solution, and a
// solved grid is a solution keeping the givens. Every line of every collection, in an optimised
// build (about 9 s); every eighth with assertions on, where the classic runs are much slower.
TEST(ExactCollectionsTest, AgreesWithTheClassicOutcomes) {
  SKIP_WITHOUT_COLLECTIONS();
#ifdef NDEBUG
  constexpr std::size_t kStride = 1;
#else
  constexpr std::size_t kStride = 8;
#endif
  const RunParameters parameters;
  int outcomes[4] = {};
  for (const fs::path& collection : Collections()) {
    const std::vector<std::string> puzzles = PuzzlesOf(collection);
    for (std::size_t k = 0; k < puzzles.size(); k += kStride) {
      SCOPED_TRACE(collection.filename().string() + ": " + puzzles[k]);
      const Cells cells = CellsOf(puzzles[k]);
      if (testing::HasRepeatedGiven(cells)) continue;  // refused by the batch
      Grid start;
      for (int i = 1; i <= 9; ++i) {
        for (int j = 1; j <= 9; ++j) {
          start(i, j) = static_cast<std::int8_t>(cells[static_cast<std::size_t>(9 * i + j - 10)]);
        }
      }
      PuzzleState st = batch::StateFor(start, parameters);
      const batch::Grade grade = batch::GradePuzzle(st);
      ++outcomes[static_cast<int>(grade.summary.outcome)];
      const int count = static_cast<int>(CountSolutions(cells));
      if (grade.summary.outcome == Outcome::kNoSolution) {
        EXPECT_EQ(count, 0);
      }
      if (grade.summary.outcome == Outcome::kSolved) {
        Cells final{};
        for (int i = 1; i <= 9; ++i) {
          for (int j = 1; j <= 9; ++j) {
            final[static_cast<std::size_t>(9 * i + j - 10)] =
                static_cast<std::uint8_t>(grade.final(i, j));
          }
        }
        EXPECT_EQ(ProblemWith(final, cells), "") << DigitsOf(final);
        EXPECT_GE(count, 1);
      }
    }
  }
  std::cout << "classic outcomes: solved " << outcomes[static_cast<int>(Outcome::kSolved)]
            << ", no-solution " << outcomes[static_cast<int>(Outcome::kNoSolution)]
            << ", step-limit " << outcomes[static_cast<int>(Outcome::kStepLimit)]
            << ", no-further-guesses " << outcomes[static_cast<int>(Outcome::kNoFurtherGuesses)]
            << "\n";
  EXPECT_GT(outcomes[static_cast<int>(Outcome::kSolved)], 0);
}

}  // namespace
}  // namespace tarvik::exact
