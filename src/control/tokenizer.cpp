// SPDX-License-Identifier: MIT
#include "control/tokenizer.h"

#include <algorithm>
#include <cstring>

#include "system/quoting.h"

namespace tarvik {

namespace {
constexpr std::int64_t kCap = std::int64_t{1} << 31;  // the magnitude of INT32_MIN
}  // namespace

void Tokenizer::SkipByteOrderMark() {
  // Make sure the first three bytes are in the buffer, however the source hands them out.
  while (in_.end() - in_.next() < 3 && !in_.ended()) in_.ReadMore();
  if (in_.end() - in_.next() >= 3 && std::memcmp(in_.next(), "\xEF\xBB\xBF", 3) == 0) {
    in_.TakeTo(in_.next() + 3);
  }
}

int Tokenizer::SkipSeparators() {
  int c = Peek();
  while (c != -1 && (IsSeparator(c) || c == '\n')) {
    Advance();
    c = Peek();
  }
  return c;
}

Tokenizer::Digits Tokenizer::Accumulate(int c, Token& token) {
  Digits digits;
  for (std::size_t n = 0; !EndsToken(c); ++n) {
    if (n == kMaxTokenChars) break;  // the rest of the token is never read
    if (n < kQuotedBytes) {
      token.shown += static_cast<char>(c);
    } else {
      token.cut = true;
    }
    if (c >= '0' && c <= '9') {
      digits.any = true;
      digits.magnitude = std::min(kCap + 1, digits.magnitude * 10 + (c - '0'));
    } else if (n == 0 && (c == '+' || c == '-')) {
      digits.negative = c == '-';
    } else {
      digits.valid = false;
    }
    Advance();
    c = Peek();
  }
  if (!EndsToken(c)) token.kind = Token::Kind::kTooLong;
  return digits;
}

void Tokenizer::Classify(const Digits& digits, Token& token) {
  if (in_.error()) {
    token.kind = Token::Kind::kReadError;
  } else if (!digits.valid || !digits.any) {
    token.kind = Token::Kind::kNotInteger;
  } else if (digits.magnitude > (digits.negative ? kCap : kCap - 1)) {
    token.kind = Token::Kind::kTooLarge;
  } else if (token.kind != Token::Kind::kTooLong) {
    token.kind = Token::Kind::kValue;
    token.value = static_cast<std::int32_t>(digits.negative ? -digits.magnitude : digits.magnitude);
  }
}

Token Tokenizer::Next() {
  Token token;
  const int c = SkipSeparators();
  if (c == -1) {
    token.kind = in_.error() ? Token::Kind::kReadError : Token::Kind::kEndOfFile;
    // The end of the file stands one line past the file's last line.
    token.line = lineHasBytes_ ? line_ + 1 : line_;
    return token;
  }
  token.line = line_;
  token.kind = Token::Kind::kValue;
  const Digits digits = Accumulate(c, token);
  Classify(digits, token);
  return token;
}

void Tokenizer::SkipRestOfLine() {
  for (int c = Peek(); c != -1; c = Peek()) {
    Advance();
    if (c == '\n') return;
  }
}

}  // namespace tarvik
