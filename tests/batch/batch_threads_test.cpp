// SPDX-License-Identifier: MIT
// Rows never depend on the number of threads: on an untidy collection (refused lines of every
// kind, comments, blank lines, puzzles from a few steps to thousands), every run with several
// threads gives the one-thread rows, and every graded row's final grid keeps its own givens.
#include <gtest/gtest.h>

#include <array>
#include <cstddef>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "support/run_in_memory.h"

namespace tarvik::batch {
namespace {

// Solved in a few steps.
constexpr std::array<std::string_view, 3> kCheap = {
    "003020600900305001001806400008102900700000008006708200002609500800203009005010300",
    "200080300060070084030500209000105408000000000402706000301007040720040060004010003",
    "000000520080400000030009000501000600200700000000300000600010000000000704000000030",
};
// Hundreds to thousands of steps over many attempts.
constexpr std::array<std::string_view, 4> kDear = {
    "000000000000000001000023040000000005002006030007100000000037060050008000910000000",
    "708000300000201000500000000040000026300080000000100090090600004000070500000000000",
    "900100004014030800003000090000708001800003000000000030021000070009040500500016003",
    "020000000000600003074080000000003002080040010600500000000010780500009000000000040",
};
// Each kind of line that gives no row, or a refused one.
constexpr std::array<std::string_view, 9> kOther = {
    "# a comment",
    "",
    "  \t ",
    " 003020600900305001001806400008102900700000008006708200002609500800203009005010300",
    "\t003020600900305001001806400008102900700000008006708200002609500800203009005010300",
    "00302060090030500100180640000810290070000000800670820000260950080020300900501030",
    "0030206009003050010018064000081029007000000080067082000026095008002030090050103000",
    "00302060090030500100180640000810290070000000800670820000260950080020300900501030a",
    "\"03020600900305001001806400008102900700000008006708200002609500800203009005010300",
};

// `puzzle` with its digits renamed, so that every graded line of the collection is its own.
std::string Renamed(std::string_view puzzle, std::mt19937& random) {
  std::array<char, 10> names = {'0', '1', '2', '3', '4', '5', '6', '7', '8', '9'};
  std::shuffle(names.begin() + 1, names.end(), random);
  std::string line(puzzle);
  for (char& c : line) c = names[static_cast<std::size_t>(c - '0')];
  return line;
}

// About a fifth of the lines give no graded row; a dear puzzle now and then among many cheap
// ones, so that one thread is held up while the others and the reader run far ahead.
std::string Collection(std::size_t lines) {
  std::mt19937 random(20261207);
  std::string text;
  for (std::size_t k = 0; k < lines; ++k) {
    const auto pick = random() % 100;
    if (pick < 20) {
      text += kOther[random() % kOther.size()];
    } else if (pick < 22) {
      text += Renamed(kDear[random() % kDear.size()], random);
    } else {
      text += Renamed(kCheap[random() % kCheap.size()], random);
    }
    text += '\n';
  }
  return text;
}

std::vector<std::string_view> Split(std::string_view text, char separator) {
  std::vector<std::string_view> parts;
  for (std::size_t at = 0; at <= text.size();) {
    std::size_t end = text.find(separator, at);
    if (end == std::string_view::npos) end = text.size();
    parts.push_back(text.substr(at, end - at));
    at = end + 1;
  }
  return parts;
}

testing::RunResult RunBatch(const std::string& input, const std::string& jobs) {
  testing::MemoryFiles files;
  files.standardInput = input;
  return testing::RunProgram({"--batch", "--quiet", "--jobs=" + jobs}, files);
}

TEST(BatchThreadsTest, RowsAreTheOneThreadRowsWhateverTheThreadCount) {
  const std::string input = Collection(5000);
  const testing::RunResult one = RunBatch(input, "1");
  ASSERT_EQ(one.status, ExitStatus::kDataError);

  // Each graded row's final grid keeps the givens of the puzzle in its own row.
  std::size_t graded = 0;
  for (const std::string_view row : Split(one.console, '\n')) {
    const std::vector<std::string_view> fields = Split(row, '\t');
    if (fields.size() != 9 || fields[2].size() != 81) continue;
    ++graded;
    for (std::size_t c = 0; c < 81; ++c) {
      if (fields[2][c] != '0') {
        ASSERT_EQ(fields[8][c], fields[2][c]) << row;
      }
    }
  }
  ASSERT_GT(graded, 3500u);

  for (int round = 0; round < 2; ++round) {
    for (const char* jobs : {"2", "3", "8", "64"}) {
      const testing::RunResult many = RunBatch(input, jobs);
      EXPECT_EQ(many.status, one.status) << jobs << " threads";
      EXPECT_EQ(many.errors, one.errors) << jobs << " threads";
      ASSERT_TRUE(many.console == one.console) << jobs << " threads, round " << round;
    }
  }
}

}  // namespace
}  // namespace tarvik::batch
