// SPDX-License-Identifier: MIT
#include "system/diagnostics.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace tarvik {
namespace {

template <class Write>
std::string Written(Write write) {
  std::ostringstream out;
  write(out);
  return out.str();
}

// Each form of a message line, written at once and composed for later: the two give the same bytes.
TEST(DiagnosticsTest, WrittenAndComposedLinesAgree) {
  const std::error_code full = std::make_error_code(std::errc::no_space_on_device);
  const struct {
    std::string written;
    std::string composed;
    std::string expected;
  } cases[] = {
      {Written([](std::ostream& out) { Say(out, "p.txt:7", "found \"x\""); }),
       Message("p.txt:7", "found \"x\""), "tarvik: p.txt:7: found \"x\"\n"},
      // An empty subject is still one: the line keeps its form whatever the name.
      {Written([](std::ostream& out) { Say(out, "", "No such file or directory"); }),
       Message("", "No such file or directory"), "tarvik: : No such file or directory\n"},
      {Written([](std::ostream& out) { Say(out, "internal error: at place 3"); }),
       Message("internal error: at place 3"), "tarvik: internal error: at place 3\n"},
      {Written([&](std::ostream& out) { SayWriteError(out, "a b", full); }),
       WriteErrorMessage("a b", full), "tarvik: write error on a b: " + full.message() + "\n"},
      {std::string(kOutOfMemory), Message("out of memory"), "tarvik: out of memory\n"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.written, c.expected);
    EXPECT_EQ(c.composed, c.expected);
  }
}

}  // namespace
}  // namespace tarvik
