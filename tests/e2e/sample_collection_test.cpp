// SPDX-License-Identifier: MIT
// Runs the README's batch command on the sample collection, examples/puzzles.txt, as on a fresh
// clone: every line but the comments and the header is a puzzle, and the puzzles end in each of
// the four outcomes.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

const std::string kCommand = "--batch examples/puzzles.txt";

// A scratch directory holding examples/puzzles.txt, as a clone does.
class CloneScratch : public Scratch {
 public:
  CloneScratch() {
    fs::create_directory(path() / "examples");
    Write("examples/puzzles.txt", ReadFile(fs::path(TARVIK_EXAMPLES_DIR) / "puzzles.txt"));
  }
};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::istringstream in(text);
  for (std::string part; std::getline(in, part, separator);) parts.push_back(part);
  return parts;
}

TEST(SampleCollectionTest, EveryLineButTheHeaderIsAPuzzleAndEveryOutcomeComes) {
  const CloneScratch scratch;
  const std::vector<std::string> lines = Split(scratch.Read("examples/puzzles.txt"), '\n');
  std::size_t headerLine = 0;  // counted from 1: the first line that is not a comment
  std::size_t puzzles = 0;
  bool dotted = false;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].starts_with('#')) continue;
    if (headerLine == 0) {
      headerLine = k + 1;
      EXPECT_EQ(lines[k].find_first_of("0123456789"), std::string::npos) << lines[k];
      continue;
    }
    ++puzzles;
    dotted = dotted || lines[k].find('.') != std::string::npos;
  }
  EXPECT_GT(headerLine, 1u) << "a comment comes first";
  EXPECT_GE(puzzles, 20u);
  EXPECT_LE(puzzles, 50u);
  EXPECT_TRUE(dotted) << "no puzzle is written with . for its empty cells";

  const Outcome out = scratch.Run(kCommand);
  std::map<std::string, int> outcomes;
  std::size_t rows = 0;
  for (const std::string& row : Split(out.console, '\n')) {
    const std::vector<std::string> fields = Split(row, '\t');
    ASSERT_GE(fields.size(), 4u) << row;
    if (fields[0] == "source" || fields[1] == std::to_string(headerLine)) continue;
    EXPECT_EQ(fields[0], "examples/puzzles.txt");
    ++outcomes[fields[3]];
    ++rows;
  }
  EXPECT_EQ(rows, puzzles);
  EXPECT_EQ(outcomes.count("refused"), 0u) << out.errors;
  for (const char* outcome : {"solved", "step-limit", "no-further-guesses", "no-solution"}) {
    EXPECT_GT(outcomes[outcome], 0) << outcome;
  }
}

// The README's command exits 0: the header line is skipped, and no line is refused.
TEST(SampleCollectionTest, ReadmeCommandExitsZero) {
  const CloneScratch scratch;
  const Outcome out = scratch.Run(kCommand);
  EXPECT_EQ(out.status, 0) << out.errors;
  EXPECT_EQ(out.console.find("\trefused\t"), std::string::npos) << out.console;
}

}  // namespace
}  // namespace tarvik::e2e
