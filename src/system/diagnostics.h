// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <iosfwd>
#include <string>
#include <string_view>
#include <system_error>

namespace tarvik {

// What begins every message the program writes to standard error, and the one place its name is
// spelled.
inline constexpr std::string_view kMessagePrefix = "tarvik: ";
inline constexpr std::string_view kProgramName =
    kMessagePrefix.substr(0, kMessagePrefix.size() - 2);

// A message line made whole at compile time, for where nothing may be allocated: "tarvik: TEXT\n".
template <std::size_t N>
constexpr std::array<char, kMessagePrefix.size() + N> FixedMessage(const char (&text)[N]) {
  std::array<char, kMessagePrefix.size() + N> line{};
  const auto end = std::copy(kMessagePrefix.begin(), kMessagePrefix.end(), line.begin());
  std::copy(text, text + N - 1, end);
  line.back() = '\n';
  return line;
}

inline constexpr auto kOutOfMemoryMessage = FixedMessage("out of memory");
inline constexpr std::string_view kOutOfMemory(kOutOfMemoryMessage.data(),
                                               kOutOfMemoryMessage.size());

// Writes one message line, "tarvik: SUBJECT: TEXT\n" (a file, say, and what is wrong with it), or
// "tarvik: TEXT\n". Nothing is allocated, so that it serves after a failed allocation too.
std::ostream& Say(std::ostream& errors, std::string_view subject, std::string_view text);
std::ostream& Say(std::ostream& errors, std::string_view text);
// The same line, for a write to `name` that failed: "tarvik: write error on NAME: REASON\n".
std::ostream& SayWriteError(std::ostream& errors, std::string_view name, std::error_code error);

// The same lines composed, to be written later (after the rows before them, say).
void AppendMessage(std::string& out, std::string_view subject, std::string_view text);
std::string Message(std::string_view subject, std::string_view text);
std::string Message(std::string_view text);
std::string WriteErrorMessage(std::string_view name, std::error_code error);

}  // namespace tarvik
