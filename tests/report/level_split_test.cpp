// SPDX-License-Identifier: MIT
// One run heard at two print levels, told apart by the difference: at every print level, for
// puzzles of every outcome, the report laid out from the shared run is the report of a run at that
// level, byte for byte on both channels, and the listener hears what a run at level 2 writes, so
// that the page recorded from it is the page of a run of its own.
#include "report/level_split.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "control/run.h"
#include "support/test_support.h"
#include "view/run_page.h"
#include "view/run_recorder.h"

namespace tarvik {
namespace {

// Every write a listener hears, one string each, and the page's recorder fed the same.
class Heard final : public LineListener {
 public:
  std::vector<std::string> writes;
  view::RunRecorder recorder;

  void OnLine(LineKind kind, std::span<const std::int32_t> values) override {
    std::string write = "line " + std::to_string(static_cast<int>(kind));
    for (const std::int32_t value : values) write += ' ' + std::to_string(value);
    writes.push_back(write);
    recorder.OnLine(kind, values);
  }
  void OnPairSearch(const PairSearchResult& r) override {
    writes.push_back("pair " + std::to_string(static_cast<int>(r.found)) + ' ' +
                     std::to_string(r.row) + ' ' + std::to_string(r.column) + ' ' +
                     std::to_string(r.first) + ' ' + std::to_string(r.second));
    recorder.OnPairSearch(r);
  }
};

// Where two texts or two lists of writes first part, for a failure message.
std::string FirstDifference(const std::vector<std::string>& got,
                            const std::vector<std::string>& expected) {
  std::size_t k = 0;
  while (k < got.size() && k < expected.size() && got[k] == expected[k]) ++k;
  const auto at = [k](const std::vector<std::string>& writes) {
    return k < writes.size() ? "\"" + writes[k] + "\"" : std::string("nothing");
  };
  return "write " + std::to_string(k + 1) + ": got " + at(got) + ", expected " + at(expected);
}

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
    lines.push_back(text.substr(start, end - start));
  }
  return lines;
}

// The puzzles of the sample collection, which has groups named after every outcome, with the
// batch's default parameters.
std::vector<PuzzleState> SamplePuzzles() {
  std::vector<PuzzleState> puzzles;
  std::ifstream in(std::filesystem::path(TARVIK_EXAMPLES_DIR) / "puzzles.txt");
  const std::string text{std::istreambuf_iterator<char>(in), {}};
  for (std::string line : LinesOf(text)) {
    if (line.size() < 81 || line.starts_with('#')) continue;
    for (char& c : line) c = c == '.' ? '0' : c;
    PuzzleState st = testing::StateOf(line.substr(0, 81));
    st.NBACK = 4;
    st.NSTEPS = 40;
    for (int k = 1; k <= st.NSTEPS; ++k) st.SEQ(k) = "4123"[(k - 1) % 4] - '0';
    puzzles.push_back(st);
  }
  return puzzles;
}

TEST(LevelSplitTest, OneRunGivesTheReportOfEveryLevelAndTheWritesOfLevelTwo) {
  const std::vector<PuzzleState> puzzles = SamplePuzzles();
  ASSERT_GE(puzzles.size(), 40u);
  std::set<Outcome> outcomes;
  bool backtracked = false;
  bool fullStack = false;
  for (std::size_t p = 0; p < puzzles.size(); ++p) {
    const PuzzleState& input = puzzles[p];
    // What the page gets today: the writes of a run at level 2, and RecordRun's recorder.
    Heard alone;
    PuzzleState levelTwo = input;
    levelTwo.IPRINT = 2;
    Report listening(alone);
    const RunSummary summary = Solve(levelTwo, listening);
    view::RunRecorder recorded;
    view::RecordRun(input, recorded);
    const std::string page = view::RenderPage(input, recorded, "");
    outcomes.insert(summary.outcome);
    backtracked = backtracked || summary.attempts > summary.depth + 1;
    for (const view::AttemptSummary& attempt : recorded.summaries()) {
      fullStack = fullStack || attempt.ending == view::Ending::kStackFull;
    }

    for (const std::int32_t level : {INT32_MIN, -1, 0, 1, 2, 3, 4, INT32_MAX}) {
      const std::string what =
          "puzzle " + std::to_string(p + 1) + ", print level " + std::to_string(level);
      PuzzleState plain = input;
      plain.IPRINT = level;
      testing::CapturedReport expected;
      Solve(plain, expected.report);
      expected.report.Finish();

      testing::CapturedReport text;
      Heard heard;
      LevelSplit split(text.report, level, heard);
      PuzzleState shared = input;
      shared.IPRINT = split.RunLevel();
      Report both(split);
      const RunSummary got = Solve(shared, both);
      text.report.Finish();

      EXPECT_TRUE(text.file.text() == expected.file.text())
          << what << ", file: "
          << FirstDifference(LinesOf(text.file.text()), LinesOf(expected.file.text()));
      EXPECT_TRUE(text.console.text() == expected.console.text())
          << what << ", console: "
          << FirstDifference(LinesOf(text.console.text()), LinesOf(expected.console.text()));
      EXPECT_TRUE(heard.writes == alone.writes)
          << what << ", listener: " << FirstDifference(heard.writes, alone.writes);
      EXPECT_TRUE(view::RenderPage(input, heard.recorder, "") == page) << what << ", page";
      EXPECT_TRUE(got == summary) << what;
      EXPECT_TRUE(shared.S == plain.S) << what;
    }
  }
  // The table keeps covering every way a run goes.
  EXPECT_EQ(outcomes, (std::set<Outcome>{Outcome::kSolved, Outcome::kStepLimit,
                                         Outcome::kNoFurtherGuesses, Outcome::kNoSolution}));
  EXPECT_TRUE(backtracked);
  EXPECT_TRUE(fullStack);
}

}  // namespace
}  // namespace tarvik
