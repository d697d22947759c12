// SPDX-License-Identifier: MIT
// Tests that read the public puzzle collections; each skips, saying so, where they are absent.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "support/corpus_dir.h"
#include "support/run_in_memory.h"
#include "techniques/pass_build.h"

namespace tarvik {
namespace {

using testing::RunResult;

// The first `count` puzzles of a collection, as 81 characters each.
std::vector<std::string> PuzzlesOf(const std::string& collection, std::size_t count) {
  std::vector<std::string> puzzles;
  std::ifstream in(testing::CorpusDir() / collection);
  for (std::string line; puzzles.size() < count && std::getline(in, line);) {
    if (line.size() >= 81 && line[0] != '#') puzzles.push_back(line.substr(0, 81));
  }
  return puzzles;
}

// Both builds of the technique passes write the same report, byte for byte, at print level 3.
TEST(CollectionsTest, BaselineAndBestPassBuildsAgree) {
  SKIP_WITHOUT_COLLECTIONS();
  std::vector<std::string> puzzles = PuzzlesOf("top95.txt", 38);
  ASSERT_EQ(puzzles.size(), 38u);
  puzzles.push_back(
      "000000000003600000005090000000030006000840000287100000500000000400020007700000000");
  puzzles.push_back(
      "530070000600195000098000060800060003400803001700020006060000280000419005000080079");
  for (const std::string& puzzle : puzzles) {
    std::string input;
    for (int r = 0; r < 9; ++r) {
      for (int c = 0; c < 9; ++c) {
        const char cell = puzzle[9 * static_cast<std::size_t>(r) + static_cast<std::size_t>(c)];
        input += std::string(1, cell == '.' ? '0' : cell) + ' ';
      }
      input += '\n';
    }
    input += "3 4 100\n";
    for (int k = 0; k < 25; ++k) input += "4 1 2 3 ";
    SelectPassBuild(PassBuild::kBaseline);
    const RunResult baseline = testing::RunClassic(input);
    SelectPassBuild(PassBuild::kBest);
    const RunResult best = testing::RunClassic(input);
    EXPECT_EQ(baseline.status, ExitStatus::kSuccess);
    EXPECT_TRUE(baseline.file == best.file) << puzzle;
  }
}

}  // namespace
}  // namespace tarvik
