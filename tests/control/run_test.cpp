// SPDX-License-Identifier: MIT
#include "control/run.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/run_in_memory.h"
#include "support/test_support.h"

namespace tarvik {
namespace {

using testing::kExampleRows;
const std::string kSequence = "4 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3\n";
const std::string kBanner =
    "\nSudoku puzzle definition input:   Sudin.txt\n"
    "Sudoku puzzle solver program:     Tarvik.exe\n"
    "Sudoku puzzle solution output:    Sudout.txt\n";
const std::string kEmptyGrid = [] {
  std::string rows;
  for (int r = 0; r < 9; ++r) rows += "0 0 0 0 0 0 0 0 0\n";
  return rows;
}();

using testing::KeptFailingSink;
using testing::MemoryFiles;
using testing::RunResult;

RunResult RunWith(const std::string& input, Sink* console = nullptr,
                  std::error_code outputError = {}) {
  MemoryFiles files;
  files.files["Sudin.txt"] = input;
  if (outputError) files.openErrors["Sudout.txt"] = outputError;
  return testing::RunClassic(files, console);
}

TEST(RunTest, SolvedRunEndsWithFinalGridAndBannerOnBothChannels) {
  const RunResult r = RunWith(kExampleRows + "0 4 20\n" + kSequence);
  EXPECT_EQ(r.status, ExitStatus::kSuccess);
  EXPECT_EQ(r.errors, "");
  EXPECT_EQ(r.console, r.file);
  EXPECT_TRUE(
      r.console.starts_with("\nPuzzle Start    51 Unknowns\n  5  3  0  0  7  0  0  0  0\n"));
  EXPECT_TRUE(
      r.console.ends_with("\nPuzzle Solved \n  5  3  4  6  7  8  9  1  2\n"
                          "  6  7  2  1  9  5  3  4  8\n  1  9  8  3  4  2  5  6  7\n"
                          "  8  5  9  7  6  1  4  2  3\n  4  2  6  8  5  3  7  9  1\n"
                          "  7  1  3  9  2  4  8  5  6\n  9  6  1  5  3  7  2  8  4\n"
                          "  2  8  7  4  1  9  6  3  5\n  3  4  5  2  8  6  1  7  9\n" +
                          kBanner));
  EXPECT_EQ(r.console.size(), 29u + 9 * 28 + 16 + 9 * 28 + kBanner.size());
}

TEST(RunTest, EchoGoesToTheFileOnlyAndFromLevelThree) {
  const RunResult two = RunWith(kExampleRows + "2 4 20\n" + kSequence);
  EXPECT_EQ(two.console, two.file);
  const RunResult three = RunWith(kExampleRows + "3 4 20\n" + kSequence);
  const std::string echo =
      "\n Search Sequence\n"
      "  4  1  2  3  4  1  2  3  4  1\n"
      "  2  3  4  1  2  3  4  1  2  3\n\n";
  EXPECT_EQ(three.file, echo + three.console);
  EXPECT_EQ(three.console.find("Search Sequence"), std::string::npos);
}

TEST(RunTest, PrintLevelsOutsideZeroToThreeActAsTheNearest) {
  EXPECT_EQ(RunWith(kExampleRows + "-7 4 20\n" + kSequence).file,
            RunWith(kExampleRows + "0 4 20\n" + kSequence).file);
  EXPECT_EQ(RunWith(kExampleRows + "2147483647 4 20\n" + kSequence).file,
            RunWith(kExampleRows + "3 4 20\n" + kSequence).file);
}

TEST(RunTest, AttemptStartsAreReportedOncePerRunBelowLevelTwo) {
  const auto count = [](const std::string& text, const std::string& what) {
    int n = 0;
    for (auto at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
    return n;
  };
  // Needs a few guesses within 20 steps an attempt, then runs out of steps.
  const std::string puzzle =
      "4 8 0 3 0 0 0 0 0\n0 0 0 0 0 0 0 7 1\n0 2 0 0 0 0 0 0 0\n7 0 5 0 0 0 0 6 0\n"
      "0 0 0 2 0 0 8 0 0\n0 0 0 0 0 0 0 0 0\n0 0 1 0 7 6 0 0 0\n3 0 0 0 0 0 4 0 0\n"
      "0 0 0 0 5 0 0 0 0\nLEVEL 4 20\n" +
      kSequence;
  for (const int level : {0, 1, 2}) {
    std::string input = puzzle;
    input.replace(input.find("LEVEL"), 5, std::to_string(level));
    const RunResult r = RunWith(input);
    EXPECT_EQ(r.status, ExitStatus::kSuccess);
    const int restarts = count(r.console, "Restarting with guesses:");
    EXPECT_EQ(restarts > 0, level >= 1) << level;
    EXPECT_EQ(count(r.console, "Puzzle Start"), level >= 2 ? restarts + 1 : 1) << level;
    EXPECT_EQ(count(r.console, "\nPuzzle not solved in maximum number of steps\n"), 1);
    EXPECT_TRUE(r.console.ends_with(kBanner));
  }
}

TEST(RunTest, EmptyGridRunsOutOfGuessesWithoutCallingThePuzzleWrong) {
  const RunResult r = RunWith(kEmptyGrid + "1 4 20\n" + kSequence);
  EXPECT_EQ(r.status, ExitStatus::kSuccess);
  std::string zeros;
  for (int row = 0; row < 9; ++row) zeros += "  0  0  0  0  0  0  0  0  0\n";
  const std::string start = "\nPuzzle Start    81 Unknowns\n" + zeros;
  const std::string end = "\nPuzzle not solved  -  no further guesses possible\n" + zeros;
  EXPECT_EQ(r.console, start + end + kBanner);
  EXPECT_EQ(r.file, r.console);
}

TEST(RunTest, RefusedInputWritesNothingButOneMessage) {
  const RunResult r = RunWith(kExampleRows + "2 4 6\n4 1 2 5 4 1\n");
  EXPECT_EQ(r.status, ExitStatus::kDataError);
  EXPECT_EQ(r.errors,
            "tarvik: Sudin.txt:11: search sequence, step 4: found 5, expected a technique code "
            "1 to 4\n");
  EXPECT_EQ(r.console, "");
  EXPECT_FALSE(r.fileOpened);
}

// A Sudin.txt that cannot be opened is named with the reason; only a missing one gets the line
// that says where an example is, the installed one under the configured documentation folder.
TEST(RunTest, InputThatCannotBeOpenedIsNoInput) {
  const std::string example =
      "tarvik: for an example, see examples/Sudin.txt in the source tree or " +
      std::string(TARVIK_INSTALLED_DOCDIR) + "/examples/Sudin.txt once installed\n";
  const struct {
    std::errc error;
    std::string errors;
  } cases[] = {
      {std::errc::no_such_file_or_directory,
       "tarvik: Sudin.txt: No such file or directory\n" + example},
      {std::errc::permission_denied, "tarvik: Sudin.txt: Permission denied\n"},
      {std::errc::too_many_symbolic_link_levels,
       "tarvik: Sudin.txt: Too many levels of symbolic links\n"},
  };
  for (const auto& c : cases) {
    MemoryFiles files;
    files.openErrors["Sudin.txt"] = std::make_error_code(c.error);
    const RunResult r = testing::RunClassic(files);
    EXPECT_EQ(r.status, ExitStatus::kNoInput);
    EXPECT_EQ(r.errors, c.errors);
    EXPECT_FALSE(r.fileOpened);
    EXPECT_EQ(r.console, "");
  }
}

TEST(RunTest, OutputThatCannotBeCreatedEndsTheRunBeforeAnyLine) {
  const RunResult r = RunWith(kExampleRows + "2 4 20\n" + kSequence, nullptr,
                              std::make_error_code(std::errc::is_a_directory));
  EXPECT_EQ(r.status, ExitStatus::kCantCreate);
  EXPECT_EQ(r.errors, "tarvik: Sudout.txt: Is a directory\n");
  EXPECT_EQ(r.console, "");
}

TEST(RunTest, FailedConsoleStillGivesACompleteFileAndAFailingStatus) {
  const std::string input = kExampleRows + "3 4 20\n" + kSequence;
  const RunResult good = RunWith(input);
  KeptFailingSink console(std::make_error_code(std::errc::broken_pipe));
  const RunResult r = RunWith(input, &console);
  EXPECT_EQ(r.status, ExitStatus::kIoError);
  EXPECT_EQ(r.errors, "tarvik: write error on standard output: Broken pipe\n");
  EXPECT_EQ(r.file, good.file);
}

}  // namespace
}  // namespace tarvik

namespace tarvik {
namespace {

using testing::KeptFailingSink;
using testing::MemoryFiles;
using testing::RunResult;

// A file written beside the report (the run's page): made before any file is touched, checked and
// locked as Sudout.txt is, emptied only once both are accepted, written after the report.
struct ExtraCase {
  MemoryFiles files;
  std::string madeFrom;  // what the extra file's contents were made from
  ExtraFile extra{"page.html", [this](const PuzzleState& st) {
                    madeFrom = std::to_string(st.NSTEPS) + " steps";
                    return std::string("<page>");
                  }};
  ExtraCase() {
    files.files["Sudin.txt"] = kExampleRows + "1 4 20\n" + kSequence;
    files.files["Sudout.txt"] = "an earlier report";
    files.files["page.html"] = "an earlier page";
  }
  RunResult Run(Sink* console = nullptr) {
    testing::StringSink captured;
    std::ostringstream errors;
    const ExitStatus status = tarvik::Run(files, console ? *console : captured, errors, &extra);
    return {status, captured.text(), files.files["Sudout.txt"], errors.str(), true};
  }
};

TEST(RunTest, ExtraFileIsWrittenBesideTheReport) {
  ExtraCase c;
  const RunResult r = c.Run();
  EXPECT_EQ(r.status, ExitStatus::kSuccess);
  EXPECT_EQ(c.madeFrom, "20 steps");
  EXPECT_EQ(c.files.files["page.html"], "<page>");
  EXPECT_EQ(r.file, r.console);
  EXPECT_TRUE(r.file.ends_with(kBanner));
}

TEST(RunTest, ExtraFileThatIsAnotherFileOfTheRunIsRefusedWithNothingEmptied) {
  for (const char* other : {"Sudin.txt", "Sudout.txt", "standard output"}) {
    ExtraCase c;
    const FileId shared{7, 7};
    c.files.ids["page.html"] = shared;
    if (std::string(other) == "standard output") {
      c.files.consoleId = shared;
    } else {
      c.files.ids[other] = shared;
    }
    const RunResult r = c.Run();
    EXPECT_EQ(r.errors, "tarvik: page.html: is the same file as " + std::string(other) + "\n");
    EXPECT_EQ(r.status, ExitStatus::kCantCreate);
    EXPECT_EQ(r.console, "");
    EXPECT_EQ(r.file, "an earlier report");
    EXPECT_EQ(c.files.files["page.html"], "an earlier page");
  }
}

TEST(RunTest, ExtraFileThatCannotBeCreatedLeavesSudoutUntouched) {
  ExtraCase c;
  c.files.openErrors["page.html"] = std::make_error_code(std::errc::permission_denied);
  const RunResult r = c.Run();
  EXPECT_EQ(r.status, ExitStatus::kCantCreate);
  EXPECT_EQ(r.errors, "tarvik: page.html: Permission denied\n");
  EXPECT_EQ(r.file, "an earlier report");
  EXPECT_EQ(r.console, "");
}

TEST(RunTest, FailingWritesOfTheReportAndOfTheExtraFileCostOnlyThemselves) {
  {
    ExtraCase c;
    c.files.room["page.html"] = 3;
    const RunResult r = c.Run();
    EXPECT_EQ(r.status, ExitStatus::kIoError);
    EXPECT_EQ(r.errors, "tarvik: write error on page.html: No space left on device\n");
    EXPECT_EQ(r.file, r.console);
    EXPECT_TRUE(r.file.ends_with(kBanner));
  }
  {
    ExtraCase c;
    KeptFailingSink console(std::make_error_code(std::errc::broken_pipe));
    c.files.room["Sudout.txt"] = 10;
    const RunResult r = c.Run(&console);
    EXPECT_EQ(r.status, ExitStatus::kIoError);
    EXPECT_EQ(r.errors,
              "tarvik: write error on standard output: Broken pipe\n"
              "tarvik: write error on Sudout.txt: No space left on device\n");
    EXPECT_EQ(c.files.files["page.html"], "<page>");
  }
}

TEST(RunTest, SudoutHeldByAnotherRunIsWaitedFor) {
  MemoryFiles files;
  files.files["Sudin.txt"] = kExampleRows + "0 4 20\n" + kSequence;
  files.busy.insert("Sudout.txt");
  const RunResult r = testing::RunClassic(files);
  EXPECT_EQ(r.status, ExitStatus::kSuccess);
  EXPECT_EQ(r.errors, "tarvik: Sudout.txt: waiting for another run to finish\n");
  EXPECT_EQ(r.file, r.console);
}

}  // namespace
}  // namespace tarvik
