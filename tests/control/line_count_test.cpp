// SPDX-License-Identifier: MIT
// Line numbers past 2^31: the readers count lines in 64 bits. Slow (two billion line feeds each),
// so labelled `slow` and left out of the everyday suite and the sanitizer build.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>

#include "batch/line_reader.h"
#include "control/input_reader.h"

namespace tarvik {
namespace {

constexpr std::int64_t kLineFeeds = (std::int64_t{1} << 31) + 2;

// 2^31 + 2 line feeds, then `tail`, made as they are read and never stored.
class ManyLines final : public Source {
 public:
  explicit ManyLines(std::string tail) : tail_(std::move(tail)) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& /*error*/) override {
    if (left_ > 0) {
      const std::size_t n =
          static_cast<std::size_t>(std::min<std::int64_t>(left_, static_cast<std::int64_t>(size)));
      std::memset(buffer, '\n', n);
      left_ -= static_cast<std::int64_t>(n);
      return n;
    }
    const std::size_t n = std::min(size, tail_.size() - at_);
    tail_.copy(buffer, n, at_);
    at_ += n;
    return n;
  }

 private:
  std::int64_t left_ = kLineFeeds;
  std::string tail_;
  std::size_t at_ = 0;
};

TEST(LineCountTest, PuzzleFileNamesALineBeyondTwoToThe31) {
  ManyLines source("x\n");
  PuzzleState st;
  const auto error = ReadPuzzleFile(source, st);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->line, kLineFeeds + 1);
  EXPECT_EQ(error->message, "row 1, column 1: found \"x\", expected a cell value 0 to 9");
}

TEST(LineCountTest, CollectionNamesALineBeyondTwoToThe31) {
  ManyLines source(std::string(80, '1') + "\n");
  batch::LineReader reader(source);
  const auto line = reader.Next();
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->line, kLineFeeds + 1);
  EXPECT_EQ(line->refusal, "puzzle: found 80 bytes, expected 81");
}

}  // namespace
}  // namespace tarvik
