// SPDX-License-Identifier: MIT
// Runs the built program in scratch directories and compares what it writes, byte for byte,
// with reports worked out by hand from the rules (tests/e2e/cases/<name>/).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  if (!fs::is_directory(TARVIK_CASES_DIR)) return names;
  for (const auto& entry : fs::directory_iterator(TARVIK_CASES_DIR)) {
    if (fs::exists(entry.path() / "Sudin.txt")) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class ReportCase : public ::testing::TestWithParam<std::string> {};

TEST_P(ReportCase, BothChannelsMatchTheExpectedReport) {
  const fs::path dir = fs::path(TARVIK_CASES_DIR) / GetParam();
  Scratch scratch;
  scratch.Write("Sudin.txt", ReadFile(dir / "Sudin.txt"));
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, 0);
  EXPECT_EQ(out.errors, "");
  ExpectSameText(out.console, ReadFile(dir / "stdout.expected"), "standard output");
  ExpectSameText(scratch.Read("Sudout.txt"), ReadFile(dir / "Sudout.expected"), "Sudout.txt");
}

INSTANTIATE_TEST_SUITE_P(Cases, ReportCase, ::testing::ValuesIn(CaseNames()),
                         [](const auto& param) { return param.param; });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ReportCase);

// The program hands its arguments to the library, whose tests check every answer; here only that
// the answer reaches the process's streams and status.
TEST(CommandLine, ArgumentsReachTheLibrary) {
  Scratch scratch;
  scratch.Write("Sudout.txt", "an earlier report\n");
  const Outcome help = scratch.Run("--help");
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.console.starts_with("Usage: tarvik ")) << help.console;
  const Outcome refused = scratch.Run("-x");
  EXPECT_EQ(refused.status, 64);
  EXPECT_EQ(refused.errors,
            "tarvik: found option \"-x\", expected one that --help lists\n"
            "Try 'tarvik --help' for more information.\n");
  EXPECT_EQ(scratch.Read("Sudout.txt"), "an earlier report\n");
}

}  // namespace
}  // namespace tarvik::e2e
