// SPDX-License-Identifier: MIT
// The numbers of a batch row follow from the algorithm as the classic run performs it: on lines
// sampled across the public collections, each row agrees with what the classic report of the same
// puzzle shows at print level 2, and with what the run page counts from the same run's events.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "batch/grading.h"
#include "control/run_parameters.h"
#include "support/corpus_dir.h"
#include "support/memory_files.h"
#include "support/run_in_memory.h"
#include "view/run_page.h"
#include "view/run_recorder.h"

namespace tarvik::batch {
namespace {

namespace fs = std::filesystem;

// What a level-2 report says about its run.
struct ReportFacts {
  std::string outcome;
  std::int64_t attempts = 0;
  std::int64_t steps = 0;
  std::int32_t depth = 0;
  std::string grid;  // the final grid, 81 digits
};

ReportFacts ReadReport(const std::string& report) {
  ReportFacts facts;
  std::istringstream in(report);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  std::int32_t guesses = 0;
  for (std::size_t k = 0; k < lines.size(); ++k) {
    const std::string& line = lines[k];
    if (line.starts_with("Puzzle Start")) ++facts.attempts;
    if (line.starts_with("Step")) ++facts.steps;
    if (line == "Restarting with guesses:") guesses = 0;
    if (line.starts_with("     S(")) facts.depth = std::max(facts.depth, ++guesses);
    if (line == "Puzzle Solved ") facts.outcome = "solved";
    if (line == "Puzzle not solved in maximum number of steps") facts.outcome = "step-limit";
    if (line == " No guesses possible.   Error in puzzle definition.   No solution") {
      facts.outcome = "no-solution";
    }
    if (line == "Puzzle not solved  -  no further guesses possible") {
      facts.outcome = "no-further-guesses";
    }
  }
  // The final grid: the nine rows above the empty line before the three file lines.
  for (std::size_t k = lines.size() - 13; k < lines.size() - 4; ++k) {
    for (std::size_t c = 2; c < lines[k].size(); c += 3) facts.grid += lines[k][c];
  }
  return facts;
}

std::string DigitsOf(const Grid& grid) {
  std::string digits;
  for (int i = 1; i <= 9; ++i) {
    for (int j = 1; j <= 9; ++j) digits += static_cast<char>('0' + grid(i, j));
  }
  return digits;
}

TEST(GradingCollectionsTest, RowsAgreeWithTheClassicReportAndThePage) {
  SKIP_WITHOUT_COLLECTIONS();
  const RunParameters parameters;
  std::string sequence;
  for (int k = 0; k < parameters.steps; ++k) {
    sequence += parameters.sequence[static_cast<std::size_t>(k) % parameters.sequence.size()];
    sequence += ' ';
  }
  std::vector<fs::path> collections;
  for (const auto& entry : fs::directory_iterator(testing::CorpusDir())) {
    if (entry.path().extension() == ".txt") collections.push_back(entry.path());
  }
  std::sort(collections.begin(), collections.end());
  int checked = 0;
  for (const fs::path& collection : collections) {
    // Twelve lines of each collection, spread over it.
    std::vector<std::string> lines;
    std::ifstream in(collection);
    for (std::string line; std::getline(in, line);) {
      if (line.size() >= 81 && line[0] != '#') lines.push_back(line.substr(0, 81));
    }
    for (std::size_t k = 0; k < lines.size(); k += std::max<std::size_t>(1, lines.size() / 12)) {
      const std::string& puzzle = lines[k];
      SCOPED_TRACE(collection.filename().string() + ": " + puzzle);
      std::string sudin;
      Grid start;
      bool valid = true;
      for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 9; ++c) {
          const char cell = puzzle[static_cast<std::size_t>(r) * 9 + static_cast<std::size_t>(c)];
          if (cell != '.' && (cell < '0' || cell > '9')) valid = false;
          const int value = cell == '.' ? 0 : cell - '0';
          start(r + 1, c + 1) = static_cast<std::int8_t>(value);
          sudin += std::to_string(value) + ' ';
        }
        sudin += '\n';
      }
      if (!valid) continue;
      sudin += "2 " + std::to_string(parameters.lookBack) + ' ' + std::to_string(parameters.steps) +
               '\n' + sequence + '\n';
      const testing::RunResult classic = testing::RunClassic(sudin);
      if (classic.status == ExitStatus::kDataError) continue;  // a repeat: refused by both
      ASSERT_EQ(classic.status, ExitStatus::kSuccess) << classic.errors;
      const ReportFacts facts = ReadReport(classic.console);

      PuzzleState st = StateFor(start, parameters);
      const Grade grade = GradePuzzle(st);
      EXPECT_EQ(OutcomeName(grade.summary.outcome), facts.outcome);
      EXPECT_EQ(grade.summary.attempts, facts.attempts);
      EXPECT_EQ(grade.summary.steps, facts.steps);
      EXPECT_EQ(grade.summary.depth, facts.depth);
      EXPECT_EQ(DigitsOf(grade.final), facts.grid);
      EXPECT_EQ(grade.empty, std::count(facts.grid.begin(), facts.grid.end(), '0'));

      view::RunRecorder recorder;
      const RunSummary listened = view::RecordRun(StateFor(start, parameters), recorder);
      const view::PageSummary& page = recorder.summary();
      EXPECT_EQ(page.run, grade.summary);
      EXPECT_EQ(page.empty, grade.empty);
      EXPECT_EQ(DigitsOf(page.finalGrid), facts.grid);
      EXPECT_EQ(listened, grade.summary);
      ++checked;
    }
  }
  EXPECT_GT(checked, 150);
}

// The batch's solutions field, on every line of every collection that is not refused, is the
// count of the collection's .solved file (0, 1, or 2 for two or more).
TEST(GradingCollectionsTest, SolutionsFieldAgreesWithTheSolvedFiles) {
  SKIP_WITHOUT_COLLECTIONS();
  int checked = 0;
  for (const auto& entry : fs::directory_iterator(testing::CorpusDir())) {
    if (entry.path().extension() != ".txt") continue;
    fs::path solvedPath = entry.path();
    solvedPath.replace_extension(".solved");
    std::ifstream input(entry.path(), std::ios::binary);
    std::ifstream solvedFile(solvedPath);
    std::stringstream text;
    text << input.rdbuf();
    std::vector<std::string> counts;  // by line, from 1
    for (std::string line; std::getline(solvedFile, line);) {
      counts.push_back(line.size() > 83 ? line.substr(82, 1) : "");
    }
    testing::MemoryFiles files;
    files.standardInput = text.str();
    // Steps and look-back at their least: the classic run's share of the time is not what is
    // checked here.
    const testing::RunResult r = testing::RunProgram(
        {"--batch", "--solutions", "--quiet", "--no-header", "--steps=5", "--look-back=1"}, files);
    std::istringstream rows(r.console);
    for (std::string row; std::getline(rows, row);) {
      std::vector<std::string> fields;
      std::istringstream split(row);
      for (std::string field; std::getline(split, field, '\t');) fields.push_back(field);
      if (row.ends_with('\t')) fields.emplace_back();
      ASSERT_EQ(fields.size(), 10u) << row;
      if (fields[3] == "refused") continue;
      const std::size_t line = std::stoul(fields[1]);
      ASSERT_LE(line, counts.size()) << entry.path().filename();
      EXPECT_EQ(fields[9], counts[line - 1]) << entry.path().filename() << ":" << line;
      ++checked;
    }
  }
  EXPECT_GT(checked, 5000);
}

}  // namespace
}  // namespace tarvik::batch
