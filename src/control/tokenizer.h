// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <system_error>

#include "system/buffered_reader.h"

namespace tarvik {

// One token of Sudin.txt, or why there is none.
struct Token {
  enum class Kind { kValue, kNotInteger, kTooLarge, kTooLong, kEndOfFile, kReadError };
  Kind kind = Kind::kEndOfFile;
  std::int32_t value = 0;
  std::int64_t line = 0;
  std::string shown;  // the token's first characters, for messages
  bool cut = false;   // the token is longer than `shown`
};

// A token is read no further than this: no value needs more characters, and a token that never
// ends (Sudin.txt a link to /dev/zero) is refused at once.
inline constexpr std::size_t kMaxTokenChars = 64;

// Splits an input into tokens and lines, holding one buffer and one bounded token at a time.
// Blanks, tabs, commas and carriage returns separate tokens; only a line feed ends a line. A
// UTF-8 byte-order mark at the start is skipped. A value is a whole token [+-]?[0-9]+ that fits
// in 32 bits.
class Tokenizer {
 public:
  explicit Tokenizer(Source& source) : in_(source, kBufferBytes) { SkipByteOrderMark(); }

  Token Next();
  // Passes over the rest of the current line, its line feed included.
  void SkipRestOfLine();
  std::error_code error() const { return in_.error(); }

 private:
  static bool IsSeparator(int c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }
  static bool EndsToken(int c) { return c == -1 || IsSeparator(c) || c == '\n'; }
  // The next byte, or -1 at the end of the input.
  int Peek() {
    if (in_.empty() && !in_.Refill()) return -1;
    return static_cast<unsigned char>(*in_.next());
  }
  void Advance() {
    if (in_.Take() == '\n') {
      ++line_;
      lineHasBytes_ = false;
    } else {
      lineHasBytes_ = true;
    }
  }
  void SkipByteOrderMark();

  // The three stages of Next: pass over separators and line ends; take the token's characters;
  // say what they are.
  int SkipSeparators();
  struct Digits {
    bool negative = false;
    bool any = false;            // at least one digit
    bool valid = true;           // nothing but an optional sign and digits
    std::int64_t magnitude = 0;  // capped just past the 32-bit range
  };
  Digits Accumulate(int c, Token& token);
  void Classify(const Digits& digits, Token& token);

  static constexpr std::size_t kBufferBytes = 4096;
  BufferedReader in_;
  std::int64_t line_ = 1;
  bool lineHasBytes_ = false;
};

}  // namespace tarvik
