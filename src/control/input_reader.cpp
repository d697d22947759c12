#include "control/input_reader.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <limits>

namespace tarvik {

std::size_t StringSource::Read(char* buffer, std::size_t size, std::error_code& /*error*/) {
  const std::size_t n = std::min(size, text_.size());
  std::memcpy(buffer, text_.data(), n);
  text_.remove_prefix(n);
  return n;
}

namespace {

constexpr std::size_t kShownTokenChars = 20;  // how much of a bad token a message quotes
// A token is read no further than this: no value needs more characters, and an input that never
// ends its token (Sudin.txt a link to /dev/zero) is refused at once.
constexpr std::size_t kMaxTokenChars = 64;

// One token of the input, or why there is none.
struct Token {
  enum class Kind { Value, NotInteger, TooLarge, TooLong, EndOfFile, ReadError };
  Kind kind = Kind::EndOfFile;
  std::int32_t value = 0;
  int line = 0;
  std::string shown;  // the token's first characters, for messages
  bool cut = false;   // the token is longer than `shown`
};

// Splits the input into tokens and lines, holding one buffer and one bounded token at a time.
class Scanner {
 public:
  explicit Scanner(Source& source) : source_(source) { SkipByteOrderMark(); }

  Token Next();
  // Passes over the rest of the current line, its line feed included.
  void SkipRestOfLine();
  std::error_code error() const { return error_; }

 private:
  static bool IsSeparator(int c) { return c == ' ' || c == '\t' || c == ',' || c == '\r'; }
  int Peek() {
    if (pos_ == end_ && !Fill()) return -1;
    return static_cast<unsigned char>(buffer_[pos_]);
  }
  void Advance() {
    if (buffer_[pos_++] == '\n') {
      ++line_;
      lineHasBytes_ = false;
    } else {
      lineHasBytes_ = true;
    }
  }
  bool Fill();
  void SkipByteOrderMark();

  Source& source_;
  std::array<char, 4096> buffer_{};
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  std::error_code error_;
  int line_ = 1;
  bool lineHasBytes_ = false;
};

bool Scanner::Fill() {
  if (atEnd_) return false;
  pos_ = 0;
  end_ = source_.Read(buffer_.data(), buffer_.size(), error_);
  if (end_ == 0) atEnd_ = true;
  return end_ != 0;
}

void Scanner::SkipByteOrderMark() {
  // Make sure the first three bytes are in the buffer, however the source hands them out.
  while (end_ < 3 && !atEnd_) {
    const std::size_t n = source_.Read(buffer_.data() + end_, buffer_.size() - end_, error_);
    if (n == 0) atEnd_ = true;
    end_ += n;
  }
  if (end_ >= 3 && std::memcmp(buffer_.data(), "\xEF\xBB\xBF", 3) == 0) pos_ = 3;
}

Token Scanner::Next() {
  Token token;
  int c = Peek();
  while (c != -1 && (IsSeparator(c) || c == '\n')) {
    Advance();
    c = Peek();
  }
  if (c == -1) {
    token.kind = error_ ? Token::Kind::ReadError : Token::Kind::EndOfFile;
    // The end of the file stands one line past the file's last line.
    token.line = lineHasBytes_ ? line_ + 1 : line_;
    return token;
  }
  token.line = line_;
  // [+-]?[0-9]+ as a whole; the magnitude is capped just past the 32-bit range.
  constexpr std::int64_t kCap = std::int64_t{1} << 31;
  bool negative = false;
  bool digits = false;
  bool valid = true;
  std::int64_t magnitude = 0;
  for (std::size_t n = 0; c != -1 && !IsSeparator(c) && c != '\n'; ++n) {
    if (n == kMaxTokenChars) break;  // the rest of the token is never read
    if (n < kShownTokenChars) {
      token.shown += static_cast<char>(c);
    } else {
      token.cut = true;
    }
    if (c >= '0' && c <= '9') {
      digits = true;
      magnitude = std::min(kCap + 1, magnitude * 10 + (c - '0'));
    } else if (n == 0 && (c == '+' || c == '-')) {
      negative = c == '-';
    } else {
      valid = false;
    }
    Advance();
    c = Peek();
  }
  const bool whole = c == -1 || IsSeparator(c) || c == '\n';
  if (error_) {
    token.kind = Token::Kind::ReadError;
  } else if (!valid || !digits) {
    token.kind = Token::Kind::NotInteger;
  } else if (magnitude > (negative ? kCap : kCap - 1)) {
    token.kind = Token::Kind::TooLarge;
  } else if (!whole) {
    token.kind = Token::Kind::TooLong;
  } else {
    token.kind = Token::Kind::Value;
    token.value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  }
  return token;
}

void Scanner::SkipRestOfLine() {
  for (int c = Peek(); c != -1; c = Peek()) {
    Advance();
    if (c == '\n') return;
  }
}

// A token as a message shows it: quoted, with bytes that are not printable ASCII escaped.
std::string Quoted(const Token& token) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string out = "\"";
  for (const char ch : token.shown) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\') {
      out += ch;
    } else {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 0xF];
    }
  }
  out += token.cut ? "...\"" : "\"";
  return out;
}

// What one value of the file is, and which values it may take. Messages are only composed when
// a value is refused.
struct Expected {
  const char* what;   // e.g. "print level", or "row" for a cell, "search sequence, step" for a code
  int first;          // row or step number, where `what` needs one
  int second;         // column number, for a cell
  const char* range;  // e.g. "a cell value 0 to 9"
  std::int32_t low;
  std::int32_t high;

  std::string Name() const {
    std::string name = what;
    if (first > 0) name.append(" ").append(std::to_string(first));
    if (second > 0) name.append(", column ").append(std::to_string(second));
    return name;
  }
};

class PuzzleFileReader {
 public:
  PuzzleFileReader(Source& in, PuzzleState& st) : in_(in), st_(st) {}
  std::optional<InputError> Read();

 private:
  // Reads the next value into `value`; false after storing the error.
  bool Value(const Expected& expected, std::int32_t& value);
  bool Fail(int line, std::string message, ExitStatus status = ExitStatus::kDataError);
  bool CheckRepeat(int row, int column, std::int32_t value);

  Scanner in_;
  PuzzleState& st_;
  int lastLine_ = 0;  // the line of the last value read
  std::optional<InputError> error_;
};

bool PuzzleFileReader::Fail(int line, std::string message, ExitStatus status) {
  error_ = InputError{status, line, std::move(message)};
  return false;
}

bool PuzzleFileReader::Value(const Expected& expected, std::int32_t& value) {
  const Token token = in_.Next();
  if (token.kind == Token::Kind::Value && token.value >= expected.low &&
      token.value <= expected.high) {
    value = token.value;
    lastLine_ = token.line;
    return true;
  }
  const std::string intro = expected.Name() + ": found ";
  const std::string outro = std::string(", expected ") + expected.range;
  switch (token.kind) {
    case Token::Kind::ReadError:
      return Fail(0, in_.error().message(), ExitStatus::kNoInput);
    case Token::Kind::EndOfFile:
      return Fail(token.line, intro + "the end of the file" + outro);
    case Token::Kind::NotInteger:
      return Fail(token.line, intro + Quoted(token) + outro);
    case Token::Kind::TooLarge:
      return Fail(token.line,
                  intro + Quoted(token) + " (too large for a 32-bit integer)" + outro);
    case Token::Kind::TooLong:
      return Fail(token.line, intro + Quoted(token) + " (longer than " +
                                  std::to_string(kMaxTokenChars) + " characters)" + outro);
    case Token::Kind::Value:
      break;
  }
  return Fail(token.line, intro + std::to_string(token.value) + outro);
}

// Refuses a value that its row, column or box already holds: such a grid has no solution, yet
// the solver could still fill every other cell and call it solved.
bool PuzzleFileReader::CheckRepeat(int row, int column, std::int32_t value) {
  if (value == 0) return true;
  const auto refuse = [&](const char* unit, int unitNumber, int r, int c) {
    return Fail(lastLine_, "row " + std::to_string(row) + ", column " + std::to_string(column) +
                               ": found " + std::to_string(value) + ", expected no second " +
                               std::to_string(value) + " in " + unit + " " +
                               std::to_string(unitNumber) + " (there is one at row " +
                               std::to_string(r) + ", column " + std::to_string(c) + ")");
  };
  for (int c = 1; c < column; ++c) {
    if (st_.ROWBUF(c) == value) return refuse("row", row, row, c);
  }
  for (int r = 1; r < row; ++r) {
    if (st_.SSTART(r, column) == value) return refuse("column", column, r, column);
  }
  const int r0 = 3 * ((row - 1) / 3) + 1;
  const int c0 = 3 * ((column - 1) / 3) + 1;
  const int box = r0 + (c0 - 1) / 3;
  for (int r = r0; r < row; ++r) {
    for (int c = c0; c <= c0 + 2; ++c) {
      if (c != column && st_.SSTART(r, c) == value) return refuse("box", box, r, c);
    }
  }
  return true;
}

std::optional<InputError> PuzzleFileReader::Read() {
  // Reads 1 to 9: the grid rows, through ROWBUF.
  for (st_.I = 1; st_.I <= 9; ++st_.I) {
    for (int c = 1; c <= 9; ++c) {
      const Expected cell{"row", st_.I, c, "a cell value 0 to 9", 0, 9};
      if (!Value(cell, st_.ROWBUF(c)) || !CheckRepeat(st_.I, c, st_.ROWBUF(c))) return error_;
    }
    for (int c = 1; c <= 9; ++c) st_.SSTART(st_.I, c) = static_cast<std::int8_t>(st_.ROWBUF(c));
    in_.SkipRestOfLine();
  }
  // Read 10: the run parameters.
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  if (!Value({"print level", 0, 0, "an integer", kMin, kMax}, st_.IPRINT) ||
      !Value({"look-back distance", 0, 0, "an integer of 1 or more", 1, kMax}, st_.NBACK) ||
      !Value({"number of steps", 0, 0, "an integer from 5 to 100", 5, st_.SEQ.size()},
             st_.NSTEPS)) {
    return error_;
  }
  in_.SkipRestOfLine();
  // Read 11: the search sequence.
  for (int k = 1; k <= st_.NSTEPS; ++k) {
    const Expected code{"search sequence, step", k, 0, "a technique code 1 to 4", 1, 4};
    if (!Value(code, st_.SEQ(k))) return error_;
  }
  return std::nullopt;
}

}  // namespace

std::optional<InputError> ReadPuzzleFile(Source& in, PuzzleState& st) {
  return PuzzleFileReader(in, st).Read();
}

}  // namespace tarvik
