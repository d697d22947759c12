// SPDX-License-Identifier: MIT
#include "control/input_reader.h"

#include <cstdint>
#include <limits>

#include "control/grid_repeats.h"
#include "control/tokenizer.h"
#include "system/quoting.h"

namespace tarvik {

namespace {

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
  bool ReadValue(const Expected& expected, std::int32_t& value);
  bool Fail(std::int64_t line, std::string message, ExitStatus status = ExitStatus::kDataError);
  bool CheckRepeat(int row, int column, std::int32_t value);

  Tokenizer in_;
  PuzzleState& st_;
  std::int64_t lastLine_ = 0;  // the line of the last value read
  std::optional<InputError> error_;
};

bool PuzzleFileReader::Fail(std::int64_t line, std::string message, ExitStatus status) {
  error_ = InputError{status, line, std::move(message)};
  return false;
}

bool PuzzleFileReader::ReadValue(const Expected& expected, std::int32_t& value) {
  const Token token = in_.Next();
  if (token.kind == Token::Kind::kValue && token.value >= expected.low &&
      token.value <= expected.high) {
    value = token.value;
    lastLine_ = token.line;
    return true;
  }
  const std::string intro = expected.Name() + ": found ";
  const std::string outro = std::string(", expected ") + expected.range;
  switch (token.kind) {
    case Token::Kind::kReadError: return Fail(0, in_.error().message(), ExitStatus::kNoInput);
    case Token::Kind::kEndOfFile: return Fail(token.line, intro + "the end of the file" + outro);
    case Token::Kind::kNotInteger:
      return Fail(token.line, intro + Quoted(token.shown, token.cut) + outro);
    case Token::Kind::kTooLarge:
      return Fail(token.line,
                  intro + Quoted(token.shown, token.cut) + " (outside the 32-bit range)" + outro);
    case Token::Kind::kTooLong:
      return Fail(token.line, intro + Quoted(token.shown, token.cut) + " (longer than " +
                                  std::to_string(kMaxTokenChars) + " characters)" + outro);
    case Token::Kind::kValue: break;
  }
  return Fail(token.line, intro + std::to_string(token.value) + outro);
}

// Refuses a value that its row, column or box already holds: such a grid has no solution, yet
// the solver could still fill every other cell and call it solved.
bool PuzzleFileReader::CheckRepeat(int row, int column, std::int32_t value) {
  const auto cell = [&](int r, int c) { return r == row ? st_.ROWBUF(c) : st_.SSTART(r, c); };
  if (auto repeat = RepeatMessage(cell, row, column, value)) return Fail(lastLine_, *repeat);
  return true;
}

std::optional<InputError> PuzzleFileReader::Read() {
  // Reads 1 to 9: the grid rows, through ROWBUF.
  for (st_.I = 1; st_.I <= 9; ++st_.I) {
    for (int c = 1; c <= 9; ++c) {
      const Expected cell{"row", st_.I, c, "a cell value 0 to 9", 0, 9};
      if (!ReadValue(cell, st_.ROWBUF(c)) || !CheckRepeat(st_.I, c, st_.ROWBUF(c))) return error_;
    }
    for (int c = 1; c <= 9; ++c) st_.SSTART(st_.I, c) = static_cast<std::int8_t>(st_.ROWBUF(c));
    in_.SkipRestOfLine();
  }
  // Read 10: the run parameters.
  constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
  constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
  if (!ReadValue({"print level", 0, 0, "an integer", kMin, kMax}, st_.IPRINT) ||
      !ReadValue({"look-back distance", 0, 0, "an integer of 1 or more", 1, kMax}, st_.NBACK) ||
      !ReadValue({"number of steps", 0, 0, "an integer from 5 to 100", 5, st_.SEQ.size()},
                 st_.NSTEPS)) {
    return error_;
  }
  in_.SkipRestOfLine();
  // Read 11: the search sequence.
  for (int k = 1; k <= st_.NSTEPS; ++k) {
    const Expected code{"search sequence, step", k, 0, "a technique code 1 to 4", 1, 4};
    if (!ReadValue(code, st_.SEQ(k))) return error_;
  }
  return std::nullopt;
}

}  // namespace

std::optional<InputError> ReadPuzzleFile(Source& in, PuzzleState& st) {
  return PuzzleFileReader(in, st).Read();
}

}  // namespace tarvik
