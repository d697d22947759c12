// SPDX-License-Identifier: MIT
// Runs the built program's batch mode in scratch directories and compares its rows, messages,
// statuses and report files, byte for byte, with expectations worked out from the rules
// (tests/batch/cases/, whose README says how).
#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <set>
#include <string>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

// The parameters of params.tsv.expected.
const std::string kParams = "--look-back=2 --steps=25 --sequence=132";

// A scratch directory holding the collections of the cases.
class BatchScratch : public Scratch {
 public:
  BatchScratch() {
    for (const char* name : {"mixed.txt", "four.txt", "params.txt"}) Write(name, BatchCase(name));
  }
};

TEST(BatchTest, RowsMessagesAndStatusOfEveryKindOfLine) {
  const BatchScratch scratch;
  const Outcome rows = scratch.Run("--batch --jobs=1 mixed.txt");
  EXPECT_EQ(rows.status, 65);
  ExpectSameText(rows.console, BatchCase("mixed.tsv.expected"), "standard output");
  EXPECT_TRUE(rows.errors.starts_with(BatchCase("mixed.stderr.expected"))) << rows.errors;
  // Without --quiet a summary follows the messages: one line, for people.
  EXPECT_NE(rows.errors.find("\ntarvik: 19 puzzles, 11 refused, in "), std::string::npos);
  EXPECT_TRUE(
      rows.errors.ends_with(": 9 solved, 2 step-limit, 5 no-further-guesses, 3 no-solution\n"));

  const Outcome quiet = scratch.Run("--batch --quiet mixed.txt");
  EXPECT_EQ(quiet.status, 65);
  ExpectSameText(quiet.errors, BatchCase("mixed.stderr.expected"), "standard error");
}

// Rows keep the input's order however many threads grade them, on a collection whose solve times
// vary from one step to thousands.
TEST(BatchTest, ThreadsKeepTheInputOrder) {
  const BatchScratch scratch;
  for (const char* jobs : {"2", "3", "8", "0"}) {
    const Outcome out = scratch.Run(std::string("--batch --jobs=") + jobs + " mixed.txt");
    EXPECT_EQ(out.status, 65) << jobs;
    ExpectSameText(out.console, BatchCase("mixed.tsv.expected"), std::string("jobs ") + jobs);
  }
}

// The solutions field: counted for every puzzle whatever its outcome, empty on refused rows.
TEST(BatchTest, SolutionsAreCountedForEveryPuzzle) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --solutions --quiet --jobs=3 mixed.txt");
  EXPECT_EQ(out.status, 65);
  ExpectSameText(out.console, BatchCase("mixed-solutions.tsv.expected"), "standard output");
  ExpectSameText(out.errors, BatchCase("mixed.stderr.expected"), "standard error");
}

TEST(BatchTest, ParametersShapeEveryRow) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --jobs=1 " + kParams + " params.txt");
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, BatchCase("params.tsv.expected"), "standard output");
}

// Each report file is the Sudout.txt of the classic run of that puzzle, at each print level.
TEST(BatchTest, ReportFilesAreTheClassicReports) {
  const BatchScratch scratch;
  for (const char* level : {"0", "2", "3"}) {
    const std::string dir = std::string("reports-level") + level;
    const Outcome out = scratch.Run("--batch --jobs=3 --quiet --reports=" + dir +
                                    " --print-level=" + level + " four.txt");
    EXPECT_EQ(out.status, 0);
    EXPECT_EQ(out.errors, "");
    ExpectSameText(out.console, BatchCase("four.tsv.expected"), "standard output");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(scratch.path() / dir)) {
      written.insert(entry.path().filename().string());
      ExpectSameText(ReadFile(entry.path()),
                     BatchCase(dir + "/" + entry.path().filename().string()),
                     entry.path().filename().string());
    }
    EXPECT_EQ(written,
              (std::set<std::string>{"four-2.txt", "four-3.txt", "four-4.txt", "four-5.txt"}));
  }
}

// Refused lines among puzzles of very different cost, on several threads: every puzzle still gets
// its report file.
TEST(BatchTest, EveryPuzzleGetsItsReportFileOnSeveralThreads) {
  const BatchScratch scratch;
  std::string many;
  for (int k = 0; k < 30; ++k) many += BatchCase("mixed.txt") + "\n";
  scratch.Write("many.txt", many);
  for (const char* jobs : {"3", "8"}) {
    const std::string dir = std::string("reports-") + jobs;
    const Outcome out = scratch.Run(std::string("--batch --quiet --jobs=") + jobs +
                                    " --reports=" + dir + " many.txt");
    EXPECT_EQ(out.status, 65) << jobs;
    const auto files =
        std::distance(fs::directory_iterator(scratch.path() / dir), fs::directory_iterator());
    EXPECT_EQ(files, 30 * 19) << jobs << " threads";
  }
}

TEST(BatchTest, StandardInputIsNamedWithADash) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --jobs=2 --no-header " + kParams + " - < params.txt");
  const std::string expected = BatchCase("params.tsv.expected");
  std::string rows;
  for (std::size_t at = expected.find('\n') + 1; at < expected.size();) {
    const std::size_t end = expected.find('\n', at) + 1;
    rows.append(1, '-').append(expected, at + 10, end - at - 10);  // "params.txt" becomes "-"
    at = end;
  }
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, rows, "standard output");
}

TEST(BatchTest, EmptyInputGivesTheHeaderAlone) {
  const Scratch scratch;
  scratch.Write("comments.txt", "# nothing but a comment\n\n   \n");
  const Outcome out = scratch.Run("--batch --quiet comments.txt - < /dev/null");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.console, "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n");
  EXPECT_EQ(out.errors, "");
}

TEST(BatchTest, UnreadableFileIsNamedAndTheOthersAreStillGraded) {
  const BatchScratch scratch;
  fs::create_directory(scratch.path() / "folder.txt");
  const Outcome out =
      scratch.Run("--batch --quiet --no-header " + kParams + " missing.txt params.txt folder.txt");
  EXPECT_EQ(out.status, 66);
  EXPECT_EQ(out.errors,
            "tarvik: missing.txt: No such file or directory\n"
            "tarvik: folder.txt: Is a directory\n");
  const std::string expected = BatchCase("params.tsv.expected");
  ExpectSameText(out.console, expected.substr(expected.find('\n') + 1), "standard output");
}

TEST(BatchTest, ReportFolderThatCannotBeMadeStopsBeforeReading) {
  const BatchScratch scratch;
  const Outcome out = scratch.Run("--batch --reports=no/such/folder params.txt");
  EXPECT_EQ(out.status, 73);
  EXPECT_EQ(out.errors, "tarvik: no/such/folder: No such file or directory\n");
  EXPECT_EQ(out.console, "");
}

// A reader that goes (head) ends the batch at once: quietly, as other filters do, unless report
// files are being written, which are then left unwritten and so are named.
TEST(BatchTest, ClosedPipeStopsTheBatchQuietlyUnlessFilesAreWritten) {
  const BatchScratch scratch;
  for (const std::string options : {"", "--reports=r ", "--overview=o.html "}) {
    const Outcome out = scratch.RunScript(
        "for k in $(seq 400); do cat params.txt; done > many.txt\n"
        "\"$1\" --batch " +
        options +
        "many.txt 2> err.txt | head -c 1 > /dev/null\n"
        "status=${PIPESTATUS[0]}\n"
        "cat err.txt >&2\n"
        "exit $status\n");
    EXPECT_EQ(out.status, 74) << options;
    EXPECT_EQ(out.errors,
              options.empty() ? "" : "tarvik: write error on standard output: Broken pipe\n")
        << options;
  }
}

// -C DIR is the classic run, exactly as cd DIR && tarvik.
TEST(BatchTest, DirectoryOptionRunsTheClassicRunThere) {
  const Scratch scratch;
  const fs::path dir = fs::path(TARVIK_CASES_DIR) / "one_guess_level3";
  fs::create_directory(scratch.path() / "run");
  fs::copy_file(dir / "Sudin.txt", scratch.path() / "run" / "Sudin.txt");
  const Outcome out = scratch.Run("-C run");
  EXPECT_EQ(out.status, 0);
  ExpectSameText(out.console, ReadFile(dir / "stdout.expected"), "standard output");
  ExpectSameText(scratch.Read("run/Sudout.txt"), ReadFile(dir / "Sudout.expected"), "Sudout.txt");

  const Outcome missing = scratch.Run("-C nowhere");
  EXPECT_EQ(missing.status, 66);
  EXPECT_EQ(missing.errors, "tarvik: nowhere: No such file or directory\n");
}

}  // namespace
}  // namespace tarvik::e2e
