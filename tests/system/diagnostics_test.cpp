// SPDX-License-Identifier: MIT
#include "system/diagnostics.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tarvik {
namespace {

// Each form of a message line, written at once and composed for later: the two give the same bytes.
TEST(DiagnosticsTest, WrittenAndComposedLinesAgree) {
  const struct {
    std::string written;
    std::string composed;
    std::string expected;
  } cases[] = {
      {[] {
         std::ostringstream out;
         Say(out, "p.txt:7", "found \"x\"");
         return out.str();
       }(),
       Message("p.txt:7", "found \"x\""), "tarvik: p.txt:7: found \"x\"\n"},
      // An empty name is still a subject: "-C ''" names the folder it could not enter.
      {[] {
         std::ostringstream out;
         Say(out, "", "No such file or directory");
         return out.str();
       }(),
       Message("", "No such file or directory"), "tarvik: : No such file or directory\n"},
      {[] {
         std::ostringstream out;
         Say(out, "internal error: at place 3");
         return out.str();
       }(),
       Message("internal error: at place 3"), "tarvik: internal error: at place 3\n"},
      {[] {
         std::ostringstream out;
         SayWriteError(out, "a b", std::make_error_code(std::errc::no_space_on_device));
         return out.str();
       }(),
       WriteErrorMessage("a b", std::make_error_code(std::errc::no_space_on_device)),
       "tarvik: write error on a b: " +
           std::make_error_code(std::errc::no_space_on_device).message() + "\n"},
      {std::string(kOutOfMemory), Message("out of memory"), "tarvik: out of memory\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.written, c.expected);
    EXPECT_EQ(c.composed, c.expected);
  }
}

}  // namespace
}  // namespace tarvik
