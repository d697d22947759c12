// SPDX-License-Identifier: MIT
// Runs the built program with a failing channel or file: a full disk, a console that fails, a
// reader that has gone, a console closed at start, files that are directories or missing. A
// failing channel must cost nothing on the other one, and the exit status must say it failed.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

const std::string kEarlierReport = "an earlier report, not to be touched\n";

TEST(FaultTest, CasesHaveTheirReports) {
  const Case one = LoadCase("one_guess_level1");
  ASSERT_FALSE(one.input.empty());
  ASSERT_FALSE(one.console.empty());
  EXPECT_EQ(one.console, one.file);
  const Case three = LoadCase("one_guess_level3");
  ASSERT_TRUE(three.file.ends_with(three.console));
  ASSERT_GT(three.file.size(), three.console.size());
}

TEST(FaultTest, FullDiskUnderSudoutLeavesTheConsoleComplete) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  fs::create_symlink("/dev/full", scratch.path() / "Sudout.txt");
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors, "tarvik: write error on Sudout.txt: No space left on device\n");
  ExpectSameText(out.console, c.file, "standard output");
  EXPECT_TRUE(fs::is_symlink(scratch.path() / "Sudout.txt"));  // written through, not replaced
}

TEST(FaultTest, FullDeviceAsStandardOutputLeavesSudoutComplete) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  const Outcome out = scratch.Run("", ">/dev/full");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors, "tarvik: write error on standard output: No space left on device\n");
  ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
}

TEST(FaultTest, BothChannelsFailingAreBothNamed) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  fs::create_symlink("/dev/full", scratch.path() / "Sudout.txt");
  const Outcome out = scratch.Run("", ">/dev/full");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors,
            "tarvik: write error on standard output: No space left on device\n"
            "tarvik: write error on Sudout.txt: No space left on device\n");
}

TEST(FaultTest, PipeClosedBeforeTheRunLeavesSudoutComplete) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  // The reader closes its end and says so; only then does the program start writing.
  const Outcome out = scratch.RunScript(
      "{ while [ ! -e reader-gone ]; do sleep 0.01; done; \"$1\"; } | "
      "{ exec 0<&-; : > reader-gone; }\n"
      "exit \"${PIPESTATUS[0]}\"\n");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors, "tarvik: write error on standard output: Broken pipe\n");
  ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
}

TEST(FaultTest, ReaderLeavingEarlyOnALargeReportLeavesSudoutComplete) {
  // Ten levels of guesses at print level 3: a report of megabytes, far more than a pipe holds, so
  // writes must still be under way when `head` has taken its one byte and gone.
  std::string input =
      ReadFile(fs::path(TARVIK_CASES_DIR) / "seventeen_clues_ten_guess_levels" / "Sudin.txt");
  const std::size_t parameters = input.find("\n0 4 100\n");
  ASSERT_NE(parameters, std::string::npos);
  input.replace(parameters, 8, "\n3 4 100\n");

  Scratch plain;
  plain.Write("Sudin.txt", input);
  const Outcome normal = plain.Run("");
  ASSERT_EQ(normal.status, 0);
  const std::string report = plain.Read("Sudout.txt");
  ASSERT_GT(normal.console.size(), 1u << 20);

  Scratch piped;
  piped.Write("Sudin.txt", input);
  const Outcome out = piped.RunScript("set -o pipefail\n\"$1\" | head -c1\n");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.console, normal.console.substr(0, 1));
  EXPECT_EQ(out.errors, "tarvik: write error on standard output: Broken pipe\n");
  ExpectSameText(piped.Read("Sudout.txt"), report, "Sudout.txt (against the run without a pipe)");
}

TEST(FaultTest, ConsoleClosedAtStartLeavesSudoutExactlyTheReport) {
  // The file opened after a closed standard output must not become descriptor 1 and take the
  // console copy too.
  const Case c = LoadCase("one_guess_level3");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  const Outcome out = scratch.Run("", ">&-");
  EXPECT_EQ(out.status, 74);
  EXPECT_EQ(out.errors, "tarvik: write error on standard output: Bad file descriptor\n");
  ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
}

TEST(FaultTest, InputAndErrorStreamsClosedAtStartDoNotDisturbTheReport) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  const Outcome out = scratch.RunScript("\"$1\" <&- 2>&-\n");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.errors, "");
  ExpectSameText(out.console, c.console, "standard output");
  ExpectSameText(scratch.Read("Sudout.txt"), c.file, "Sudout.txt");
}

TEST(FaultTest, SudoutThatCannotBeCreatedStopsTheRunBeforeAnyLine) {
  const Case c = LoadCase("one_guess_level1");
  Scratch scratch;
  scratch.Write("Sudin.txt", c.input);
  fs::create_directory(scratch.path() / "Sudout.txt");
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, 73);
  EXPECT_EQ(out.console, "");
  EXPECT_EQ(out.errors, "tarvik: Sudout.txt: Is a directory\n");
  EXPECT_TRUE(fs::is_directory(scratch.path() / "Sudout.txt"));
  EXPECT_TRUE(fs::is_empty(scratch.path() / "Sudout.txt"));
}

TEST(FaultTest, SudinThatIsADirectoryCannotBeRead) {
  Scratch scratch;
  fs::create_directory(scratch.path() / "Sudin.txt");
  scratch.Write("Sudout.txt", kEarlierReport);
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, 66);
  EXPECT_EQ(out.console, "");
  EXPECT_EQ(out.errors, "tarvik: Sudin.txt: Is a directory\n");
  EXPECT_EQ(scratch.Read("Sudout.txt"), kEarlierReport);
}

TEST(FaultTest, MissingSudinCreatesNothing) {
  Scratch scratch;
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, 66);
  EXPECT_EQ(out.console, "");
  EXPECT_EQ(out.errors,
            "tarvik: Sudin.txt: No such file or directory\n"
            "tarvik: for an example, see examples/Sudin.txt in the source tree or " +
                std::string(TARVIK_INSTALLED_DOCDIR) + "/examples/Sudin.txt once installed\n");
  EXPECT_FALSE(fs::exists(scratch.path() / "Sudout.txt"));
}

}  // namespace
}  // namespace tarvik::e2e
