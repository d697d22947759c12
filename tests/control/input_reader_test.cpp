// SPDX-License-Identifier: MIT
#include "control/input_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace tarvik {

// Shown by the test framework when a comparison fails.
void PrintTo(const InputError& error, std::ostream* out) {
  *out << "{status " << static_cast<int>(error.status) << ", line " << error.line << ", \""
       << error.message << "\"}";
}

namespace {

using testing::kExampleRows;
const std::string kValid = kExampleRows + "2 4 6\n4 1 2 3 4 1\n";
const char* kGrid =
    "530070000 600195000 098000060 800060003 400803001 700020006 060000280 000419005 "
    "000080079";

std::optional<InputError> Read(const std::string& text, PuzzleState& st) {
  testing::StringSource source(text);
  return ReadPuzzleFile(source, st);
}

// Hands out its text in pieces of a few bytes, as a slow device might.
class TrickleSource final : public Source {
 public:
  TrickleSource(std::string text, std::size_t piece) : text_(std::move(text)), piece_(piece) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code&) override {
    const std::size_t n = std::min({size, piece_, text_.size() - pos_});
    text_.copy(buffer, n, pos_);
    pos_ += n;
    return n;
  }

 private:
  std::string text_;
  std::size_t piece_;
  std::size_t pos_ = 0;
};

void ExpectExampleRead(const std::string& text) {
  SCOPED_TRACE(text);
  PuzzleState st;
  ASSERT_EQ(Read(text, st), std::nullopt);
  EXPECT_EQ(testing::DigitsOf(st.SSTART), kGrid);
  EXPECT_EQ(st.IPRINT, 2);
  EXPECT_EQ(st.NBACK, 4);
  EXPECT_EQ(st.NSTEPS, 6);
  EXPECT_EQ(st.SEQ.data, (decltype(st.SEQ.data){4, 1, 2, 3, 4, 1}));
  EXPECT_EQ(st.I, 10);
  EXPECT_EQ(st.S, Grid{});  // the working grid is the run's to prepare
}

TEST(InputReaderTest, AcceptsEveryLayoutOfTheSameValues) {
  ExpectExampleRead(kValid);
  // A row split over two lines, a row with extra values, extra text after the parameters.
  std::string split = kValid;
  split.replace(0, 18, "5 3 0 0 7\n0 0 0 0 x y\n");
  ExpectExampleRead(split);
  std::string extra = kValid;
  extra.replace(0, 18, "5 3 0 0 7 0 0 0 0 9 9 9 junk\n");
  ExpectExampleRead(extra);
  ExpectExampleRead(kExampleRows + "2 4 6 steps: six\n4 1 2\n\n3 4 1 and the rest is ignored\n");
  // Commas, tabs, runs of separators, blank lines inside a read, signs.
  ExpectExampleRead(kExampleRows + "+2,4,,6\n\n\n4,1,\t2, 3 ,4\t1\n");
  // CR LF line ends, no line end at the very end, a byte-order mark.
  std::string crlf;
  for (const char c : kValid) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
  ExpectExampleRead(crlf);
  ExpectExampleRead(kValid.substr(0, kValid.size() - 1));
  ExpectExampleRead("\xEF\xBB\xBF" + kValid);
  ExpectExampleRead("\xEF\xBB\xBF" + crlf);
}

TEST(InputReaderTest, SourceMayHandOutBytesInSmallPieces) {
  for (const std::size_t piece : {1u, 2u, 5u}) {
    PuzzleState st;
    TrickleSource source("\xEF\xBB\xBF" + kValid, piece);
    ASSERT_EQ(ReadPuzzleFile(source, st), std::nullopt);
    EXPECT_EQ(testing::DigitsOf(st.SSTART), kGrid);
    EXPECT_EQ(st.SEQ(6), 1);
  }
}

TEST(InputReaderTest, PrintLevelMayBeAnyInteger) {
  for (const std::string level : {"-2147483648", "2147483647", "-3", "0", "7"}) {
    PuzzleState st;
    ASSERT_EQ(Read(kExampleRows + level + " 1 5\n4 4 4 4 4\n", st), std::nullopt);
    EXPECT_EQ(std::to_string(st.IPRINT), level);
  }
}

struct Refusal {
  std::string name;
  std::string text;
  int line;
  std::string message;
};

TEST(InputReaderTest, RefusesWithLineAndWhatWasFoundAndExpected) {
  const std::string rows8 = kExampleRows.substr(0, kExampleRows.size() - 18);
  const std::vector<Refusal> refusals = {
      {"empty file", "", 1,
       "row 1, column 1: found the end of the file, expected a cell value 0 to 9"},
      {"only eight rows", rows8, 9,
       "row 9, column 1: found the end of the file, expected a cell value 0 to 9"},
      {"eight rows, last without line end", rows8.substr(0, rows8.size() - 1), 9,
       "row 9, column 1: found the end of the file, expected a cell value 0 to 9"},
      {"letters in a row", "5 3 0 0 7 a 0 0 0\n", 1,
       "row 1, column 6: found \"a\", expected a cell value 0 to 9"},
      {"number and letters", "5 3 0 0 7 5x 0 0 0\n", 1,
       "row 1, column 6: found \"5x\", expected a cell value 0 to 9"},
      {"decimal", "5 3 0 0 7 1.0 0 0 0\n", 1,
       "row 1, column 6: found \"1.0\", expected a cell value 0 to 9"},
      {"sign alone", "5 3 - 0 7 0 0 0 0\n", 1,
       "row 1, column 3: found \"-\", expected a cell value 0 to 9"},
      {"NUL byte", std::string("5 3 \0 0 7 0 0 0 0\n", 18), 1,
       "row 1, column 3: found \"\\x00\", expected a cell value 0 to 9"},
      {"form feed", "5 3 0\f0 7 0 0 0 0\n", 1,
       "row 1, column 3: found \"0\\x0c0\", expected a cell value 0 to 9"},
      {"partial byte-order mark",
       "\xEF\xBB"
       "5 3 0 0 7 0 0 0 0\n",
       1, "row 1, column 1: found \"\\xef\\xbb5\", expected a cell value 0 to 9"},
      {"forty digits", "5 3 0 0 7 1234567890123456789012345678901234567890 0 0 0\n", 1,
       "row 1, column 6: found \"12345678901234567890...\" (outside the 32-bit range), "
       "expected a cell value 0 to 9"},
      {"leading zeros beyond any value", "5 3 0 0 7 " + std::string(70, '0') + "1 0 0 0\n", 1,
       "row 1, column 6: found \"00000000000000000000...\" (longer than 64 characters), expected "
       "a cell value 0 to 9"},
      {"sixty-four characters are still read", "5 3 0 0 7 " + std::string(63, '0') + "1 0 0 0\n", 2,
       "row 2, column 1: found the end of the file, expected a cell value 0 to 9"},
      {"just past 32 bits", kExampleRows + "2147483648 4 6\n", 10,
       "print level: found \"2147483648\" (outside the 32-bit range), expected an integer"},
      {"just below 32 bits", kExampleRows + "-2147483649 4 6\n", 10,
       "print level: found \"-2147483649\" (outside the 32-bit range), expected an integer"},
      {"cell above 9", "5 3 0 0 7 10 0 0 0\n", 1,
       "row 1, column 6: found 10, expected a cell value 0 to 9"},
      {"negative cell", "\n\n5 3 0 0 7 -1 0 0 0\n", 3,
       "row 1, column 6: found -1, expected a cell value 0 to 9"},
      {"look-back 0", kExampleRows + "2 0 6\n", 10,
       "look-back distance: found 0, expected an integer of 1 or more"},
      {"steps 4", kExampleRows + "2 4 4\n4 4 4 4\n", 10,
       "number of steps: found 4, expected an integer from 5 to 100"},
      {"steps 0", kExampleRows + "2 4 0\n", 10,
       "number of steps: found 0, expected an integer from 5 to 100"},
      {"steps 101", kExampleRows + "2 4 101\n", 10,
       "number of steps: found 101, expected an integer from 5 to 100"},
      {"parameters missing", kExampleRows, 10,
       "print level: found the end of the file, expected an integer"},
      {"code 5", kExampleRows + "2 4 6\n4 1 2 5 4 1\n", 11,
       "search sequence, step 4: found 5, expected a technique code 1 to 4"},
      {"code 0", kExampleRows + "2 4 6\n4 1 2\n0 4 1\n", 12,
       "search sequence, step 4: found 0, expected a technique code 1 to 4"},
      {"sequence shorter than its count", kExampleRows + "2 4 6\n4 1 2 3 4\n", 12,
       "search sequence, step 6: found the end of the file, expected a technique code 1 to 4"},
      {"sequence on the parameter line", kExampleRows + "2 4 6 4 1 2 3 4 1", 11,
       "search sequence, step 1: found the end of the file, expected a technique code 1 to 4"},
      {"repeat in a row", "5 3 0 0 7 0 0 0 0\n6 0 0 1 9 5 0 0 6\n", 2,
       "row 2, column 9: found 6, expected no second 6 in row 2 (there is one at row 2, column 1)"},
      {"repeat in a column",
       "5 3 0 0 7 0 0 0 0\n6 0 0 1 9 5 0 0 0\n0 9 8 0 0 0 0 6 0\n8 0 0 0 6 0 0 0 3\n"
       "4 0 0 8 0 3 0 0 1\n7 0 0 0 2 0 0 0 6\n0 6 0 0 0 0 2 8 0\n0 0 0 4 1 9 0 0 5\n"
       "0 0 0 0 8 0 0 6 9\n",
       9,
       "row 9, column 8: found 6, expected no second 6 in column 8 (there is one at row 3, "
       "column 8)"},
      {"repeat in a box",
       "5 3 0 0 7 0 0 0 0\n6 0 0 1 9 5 0 0 0\n0 9 8 0 0 0 0 6 0\n"
       "8 0 0 0 6 0 0 0 3\n4 0 0 8 0 3 0 0 1\n7 0 0 0 2 0 0 0 6\n0 6 0 0 0 0 2 8 0\n"
       "0 0 0 4 1 9 0 0 5\n0 0 0 0 8 0 0 7 2\n",
       9,
       "row 9, column 9: found 2, expected no second 2 in box 9 (there is one at row 7, column 7)"},
  };
  for (const Refusal& r : refusals) {
    PuzzleState st;
    const auto error = Read(r.text, st);
    ASSERT_TRUE(error.has_value()) << r.name;
    EXPECT_EQ(*error, (InputError{ExitStatus::kDataError, r.line, r.message})) << r.name;
  }
}

class FailingSource final : public Source {
 public:
  std::size_t Read(char*, std::size_t, std::error_code& error) override {
    error = std::make_error_code(std::errc::is_a_directory);
    return 0;
  }
};

TEST(InputReaderTest, ReadErrorIsNotTakenForTheEndOfTheFile) {
  PuzzleState st;
  FailingSource source;
  EXPECT_EQ(ReadPuzzleFile(source, st), (InputError{ExitStatus::kNoInput, 0, "Is a directory"}));
}

TEST(InputReaderTest, HugeTokenIsRefusedWithoutHoldingIt) {
  // 10 MB of digits without a line end: the token is too large after eleven digits, and the
  // reader keeps only the first few characters of it.
  class Digits final : public Source {
   public:
    std::size_t Read(char* buffer, std::size_t size, std::error_code&) override {
      const std::size_t n = std::min(size, left);
      std::fill_n(buffer, n, '7');
      left -= n;
      return n;
    }
    std::size_t left = 10'000'000;
  } digits;
  PuzzleState st;
  const auto error = ReadPuzzleFile(digits, st);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->message,
            "row 1, column 1: found \"77777777777777777777...\" (outside the 32-bit "
            "range), expected a cell value 0 to 9");
}

}  // namespace
}  // namespace tarvik
