// SPDX-License-Identifier: MIT
#include "system/buffered_reader.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace tarvik {
namespace {

// Hands out one scripted piece per read; an empty piece is an end, with `error`. What follows an
// end is what a terminal gives after Ctrl-D: it must not be read.
class ScriptedSource final : public Source {
 public:
  ScriptedSource(std::vector<std::string> pieces, std::error_code error)
      : pieces_(std::move(pieces)), error_(error) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    const std::string piece = reads < pieces_.size() ? pieces_[reads] : "";
    ++reads;
    if (piece.empty()) error = error_;
    const std::size_t n = std::min(size, piece.size());
    std::memcpy(buffer, piece.data(), n);
    return n;
  }
  std::size_t reads = 0;

 private:
  std::vector<std::string> pieces_;
  std::error_code error_;
};

TEST(BufferedReaderTest, SourceIsNotReadAgainOnceItHasEnded) {
  const std::error_code failed = std::make_error_code(std::errc::io_error);
  struct Case {
    const char* what;
    std::vector<std::string> pieces;
    std::error_code error;
    std::string text;
    std::size_t reads;
  };
  const Case cases[] = {
      {"pieces, then the end", {"ab", "cd", ""}, {}, "abcd", 3},
      {"bytes after the end", {"ab", "", "cd"}, {}, "ab", 2},
      {"a full buffer", {"abcd", ""}, {}, "abcd", 2},
      {"an error", {"ab", ""}, failed, "ab", 2},
      {"an error at once", {"", "ab"}, failed, "", 1},
  };
  for (const Case& c : cases) {
    ScriptedSource source(c.pieces, c.error);
    BufferedReader in(source, 4);
    std::string text;
    while (in.Refill()) {
      while (!in.empty()) text += in.Take();
    }
    EXPECT_FALSE(in.Refill()) << c.what;
    EXPECT_EQ(in.ReadMore(), 0u) << c.what;
    EXPECT_TRUE(in.ended()) << c.what;
    EXPECT_EQ(text, c.text) << c.what;
    EXPECT_EQ(in.bytesRead(), c.text.size()) << c.what;
    EXPECT_EQ(source.reads, c.reads) << c.what;
    EXPECT_EQ(in.error(), c.error) << c.what;
  }
}

}  // namespace
}  // namespace tarvik
