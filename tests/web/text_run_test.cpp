// SPDX-License-Identifier: MIT
#include "web/text_run.h"

#include <gtest/gtest.h>

#include <string>

#include "support/run_in_memory.h"

namespace tarvik {
namespace {

const std::string kRows =
    "5 3 0 0 7 0 0 0 0\n"
    "6 0 0 1 9 5 0 0 0\n"
    "0 9 8 0 0 0 0 6 0\n"
    "8 0 0 0 6 0 0 0 3\n"
    "4 0 0 8 0 3 0 0 1\n"
    "7 0 0 0 2 0 0 0 6\n"
    "0 6 0 0 0 0 2 8 0\n"
    "0 0 0 4 1 9 0 0 5\n"
    "0 0 0 0 8 0 0 7 9\n";
const std::string kSequence = "4 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3 4 1 2 3\n";

// The run in memory of the page gives what the classic run gives on the same Sudin.txt: both
// channels, the refusal on standard error and the exit status.
TEST(TextRun, SameAsTheClassicRun) {
  struct Case {
    const char* name;
    std::string sudin;
    bool accepted;
  };
  const Case cases[] = {
      {"level 0", kRows + "0 4 20\n" + kSequence, true},
      {"level 1", kRows + "1 4 20\n" + kSequence, true},
      {"level 2", kRows + "2 4 20\n" + kSequence, true},
      {"level 3, with the sequence echoed in the file", kRows + "3 4 20\n" + kSequence, true},
      {"step limit", kRows + "2 4 5\n4 1 2 3 4\n", true},
      {"steps refused", kRows + "2 4 101\n" + kSequence, false},
      {"a repeated value refused", "5 5" + kRows.substr(3) + "2 4 20\n" + kSequence, false},
      {"an empty input", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const testing::RunResult classic = testing::RunClassic(c.sudin);
    const web::TextRun run = web::RunText(c.sudin);
    EXPECT_EQ(run.status, classic.status);
    EXPECT_EQ(run.console, classic.console);
    EXPECT_EQ(run.file, classic.file);
    EXPECT_EQ(run.errors, classic.errors);
    EXPECT_EQ(run.outcome.has_value(), c.accepted);
    EXPECT_EQ(run.errors.empty(), c.accepted);
  }
}

// The page of a run is the one --view writes beside it.
TEST(TextRun, PageAsTheViewWritesIt) {
  const std::string sudin = kRows + "1 4 20\n" + kSequence;
  testing::MemoryFiles files;
  files.files["Sudin.txt"] = sudin;
  const testing::RunResult classic = testing::RunProgram({"--view=run.html"}, files);
  ASSERT_EQ(classic.status, ExitStatus::kSuccess);
  const web::TextRun run = web::RunText(sudin);
  EXPECT_EQ(web::PageOf(run.input), files.files["run.html"]);
}

}  // namespace
}  // namespace tarvik
