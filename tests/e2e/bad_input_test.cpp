// SPDX-License-Identifier: MIT
// Runs the built program on Sudin.txt files it must refuse. Each refusal is one line on standard
// error naming the line of Sudin.txt, what was found there and what was expected, with its exit
// status; nothing goes to standard output, and a Sudout.txt from an earlier run stays as it was.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <ostream>
#include <string>
#include <vector>

#include "e2e/e2e_support.h"

namespace tarvik::e2e {
namespace {

const std::vector<std::string> kRows = {
    "5 3 0 0 7 0 0 0 0", "6 0 0 1 9 5 0 0 0", "0 9 8 0 0 0 0 6 0",
    "8 0 0 0 6 0 0 0 3", "4 0 0 8 0 3 0 0 1", "7 0 0 0 2 0 0 0 6",
    "0 6 0 0 0 0 2 8 0", "0 0 0 4 1 9 0 0 5", "0 0 0 0 8 0 0 7 9",
};

// The nine rows, with row `row` (1 to 9) replaced by `replacement` if given, each ended by `end`.
std::string Rows(int row = 0, const std::string& replacement = "", const std::string& end = "\n") {
  std::string text;
  for (int r = 1; r <= 9; ++r)
    text += (r == row ? replacement : kRows[static_cast<std::size_t>(r - 1)]) + end;
  return text;
}

// `count` technique codes 4 1 2 3 4 1 ..., with code `code` at step `at` if given.
std::string Codes(int count, int at = 0, int code = 0) {
  std::string text;
  for (int k = 1; k <= count; ++k) {
    if (k > 1) text += ' ';
    text += std::to_string(k == at ? code : "4123"[(k - 1) % 4] - '0');
  }
  return text;
}

struct BadInput {
  std::string name;
  std::string input;
  int status;
  std::string message;  // the whole line on standard error, without its line feed
};

const std::vector<BadInput> kBadInputs = {
    {"empty_file", "", 65,
     "tarvik: Sudin.txt:1: row 1, column 1: found the end of the file, expected a cell value 0 to "
     "9"},
    {"only_eight_rows", Rows().substr(0, std::size_t{8} * 18), 65,
     "tarvik: Sudin.txt:9: row 9, column 1: found the end of the file, expected a cell value 0 to "
     "9"},
    {"letters_in_a_row", Rows(4, "8 0 0 0 six 0 0 0 3") + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:4: row 4, column 5: found \"six\", expected a cell value 0 to 9"},
    {"number_with_forty_digits",
     Rows() + "1234567890123456789012345678901234567890 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:10: print level: found \"12345678901234567890...\" (outside the 32-bit "
     "range), expected an integer"},
    {"nul_byte", Rows(2, std::string("6 0 0 1 \0 5 0 0 0", 17)) + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:2: row 2, column 5: found \"\\x00\", expected a cell value 0 to 9"},
    {"sequence_shorter_than_its_count", Rows() + "0 4 20\n" + Codes(19) + "\n", 65,
     "tarvik: Sudin.txt:12: search sequence, step 20: found the end of the file, expected a "
     "technique code 1 to 4"},
    {"cell_10", Rows(9, "0 0 0 0 8 0 0 7 10") + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:9: row 9, column 9: found 10, expected a cell value 0 to 9"},
    {"cell_minus_1_crlf", Rows(3, "0 9 8 0 -1 0 0 6 0", "\r\n") + "0 4 20\r\n" + Codes(20) + "\r\n",
     65, "tarvik: Sudin.txt:3: row 3, column 5: found -1, expected a cell value 0 to 9"},
    {"look_back_0", Rows() + "0 0 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:10: look-back distance: found 0, expected an integer of 1 or more"},
    {"steps_4", Rows() + "0 4 4\n" + Codes(4) + "\n", 65,
     "tarvik: Sudin.txt:10: number of steps: found 4, expected an integer from 5 to 100"},
    {"steps_101", Rows() + "0 4 101\n" + Codes(101) + "\n", 65,
     "tarvik: Sudin.txt:10: number of steps: found 101, expected an integer from 5 to 100"},
    {"code_5", Rows() + "0 4 20\n" + Codes(20, 13, 5) + "\n", 65,
     "tarvik: Sudin.txt:11: search sequence, step 13: found 5, expected a technique code 1 to 4"},
    {"code_0_on_a_later_line", Rows() + "0 4 20\n" + Codes(10) + "\n" + Codes(10, 10, 0) + "\n", 65,
     "tarvik: Sudin.txt:12: search sequence, step 20: found 0, expected a technique code 1 to 4"},
    {"repeated_value_in_a_row", Rows(5, "4 0 0 8 0 3 0 4 1") + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:5: row 5, column 8: found 4, expected no second 4 in row 5 (there is one "
     "at row 5, column 1)"},
    {"repeated_value_in_a_column", Rows(9, "0 0 0 0 8 0 0 6 9") + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:9: row 9, column 8: found 6, expected no second 6 in column 8 (there is "
     "one at row 3, column 8)"},
    {"repeated_value_in_a_box", Rows(9, "0 0 0 0 8 0 0 7 2") + "0 4 20\n" + Codes(20) + "\n", 65,
     "tarvik: Sudin.txt:9: row 9, column 9: found 2, expected no second 2 in box 9 (there is one "
     "at row 7, column 7)"},
};

const std::string kEarlierReportUnended = "Sudout.txt of an earlier run\nwithout a final line feed";

// Writes a Sudout.txt of an earlier run, dated an hour back so that a rewrite would show.
fs::file_time_type PlantEarlierReport(const Scratch& scratch) {
  scratch.Write("Sudout.txt", kEarlierReportUnended);
  const fs::path file = scratch.path() / "Sudout.txt";
  fs::last_write_time(file, fs::last_write_time(file) - std::chrono::hours(1));
  return fs::last_write_time(file);
}

void ExpectEarlierReportKept(const Scratch& scratch, fs::file_time_type written) {
  EXPECT_EQ(scratch.Read("Sudout.txt"), kEarlierReportUnended);
  EXPECT_EQ(fs::last_write_time(scratch.path() / "Sudout.txt"), written) << "Sudout.txt rewritten";
}

// Names the case in test output instead of dumping its bytes.
void PrintTo(const BadInput& bad, std::ostream* out) { *out << bad.name; }

class BadInputTest : public ::testing::TestWithParam<BadInput> {};

TEST_P(BadInputTest, IsRefusedWithOneLineAndNothingElse) {
  const BadInput& bad = GetParam();
  Scratch scratch;
  scratch.Write("Sudin.txt", bad.input);
  const fs::file_time_type written = PlantEarlierReport(scratch);
  const Outcome out = scratch.Run("");
  EXPECT_EQ(out.status, bad.status);
  EXPECT_EQ(out.errors, bad.message + "\n");
  EXPECT_EQ(out.console, "");
  ExpectEarlierReportKept(scratch, written);
}

INSTANTIATE_TEST_SUITE_P(Refusals, BadInputTest, ::testing::ValuesIn(kBadInputs),
                         [](const auto& param) { return param.param.name; });

TEST(HugeInputTest, HundredMegabytesOfDigitsAreRefusedQuicklyInLittleMemory) {
  constexpr std::size_t kFileBytes = 100'000'000;
  Scratch scratch;
  {
    std::ofstream file(scratch.path() / "Sudin.txt", std::ios::binary);
    const std::string chunk(1 << 20, '7');
    for (std::size_t left = kFileBytes; left > 0;) {
      const std::size_t n = std::min(left, chunk.size());
      file.write(chunk.data(), static_cast<std::streamsize>(n));
      left -= n;
    }
  }
  ASSERT_EQ(fs::file_size(scratch.path() / "Sudin.txt"), kFileBytes);
  const fs::file_time_type written = PlantEarlierReport(scratch);

  // GNU time measures the peak resident size of the program alone; without it, only the time.
  const bool measured = fs::exists("/usr/bin/time");
  const auto start = std::chrono::steady_clock::now();
  const Outcome out =
      scratch.RunScript(measured ? "/usr/bin/time -f %M -o .peak \"$1\"\n" : "\"$1\"\n");
  const auto seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  EXPECT_EQ(out.status, 65);
  EXPECT_EQ(
      out.errors,
      "tarvik: Sudin.txt:1: row 1, column 1: found \"77777777777777777777...\" (outside the 32-bit "
      "range), expected a cell value 0 to 9\n");
  EXPECT_EQ(out.console, "");
  ExpectEarlierReportKept(scratch, written);
  // A few tenths of a second in an optimised build; the sanitizers' builds are several times
  // slower, and CI machines are shared.
  EXPECT_LT(seconds, 20.0);
  if (!measured) return;
    // About 2 MB in an optimised build: the reader holds one buffer and one token of bounded
    // length, never the file. AddressSanitizer's shadow memory adds some 20 MB.
#if defined(__SANITIZE_ADDRESS__)
  constexpr long kLimitKilobytes = 64L * 1024;
#else
  constexpr long kLimitKilobytes = 16L * 1024;
#endif
  // The figure is the last line; a line about the exit status may stand before it.
  std::string peakText = scratch.Read(".peak");
  while (peakText.ends_with('\n')) peakText.pop_back();
  const long peak = std::atol(peakText.c_str() + peakText.find_last_of('\n') + 1);
  EXPECT_GT(peak, 0) << "no figure from /usr/bin/time: \"" << peakText << "\"";
  EXPECT_LT(peak, kLimitKilobytes)
      << "peak resident size " << peak << " kB for a file of " << kFileBytes / 1000 << " kB";
}

// A token that never ends (Sudin.txt a link to /dev/zero) is refused once it is longer than any
// value can be; `timeout` keeps the test from hanging should that ever break.
TEST(HugeInputTest, EndlessTokenIsRefused) {
  Scratch scratch;
  fs::create_symlink("/dev/zero", scratch.path() / "Sudin.txt");
  const Outcome out = scratch.RunScript("timeout 20 \"$1\"\n");
  std::string shown;
  for (int k = 0; k < 20; ++k) shown += "\\x00";
  EXPECT_EQ(out.status, 65);
  EXPECT_EQ(out.errors, "tarvik: Sudin.txt:1: row 1, column 1: found \"" + shown +
                            "...\", expected a cell value 0 to 9\n");
  EXPECT_EQ(out.console, "");
  EXPECT_FALSE(fs::exists(scratch.path() / "Sudout.txt"));
}

}  // namespace
}  // namespace tarvik::e2e
