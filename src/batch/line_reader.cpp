#include "batch/line_reader.h"

#include "control/grid_repeats.h"
#include "control/quoting.h"

namespace tarvik::batch {
namespace {

bool IsBlank(int c) { return c == ' ' || c == '\t' || c == '\r'; }

}  // namespace

int LineReader::Peek() {
  if (pos_ == end_) {
    if (atEnd_) return -1;
    pos_ = 0;
    end_ = source_.Read(buffer_.data(), buffer_.size(), error_);
    bytesRead_ += end_;
    if (end_ == 0) {
      atEnd_ = true;
      return -1;
    }
  }
  return static_cast<unsigned char>(buffer_[pos_]);
}

bool LineReader::ReadLine() {
  if (Peek() == -1) return false;
  ++line_;
  firstByte_ = -1;
  blank_ = true;
  fieldLength_ = 0;
  bool inField = true;
  // A byte-order mark is held back until it is whole; anything else that started like one is
  // the line's own bytes.
  static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
  std::size_t markBytes = 0;
  const auto take = [&](int c) {
    if (firstByte_ == -1) firstByte_ = c;
    if (!IsBlank(c)) blank_ = false;
    if (inField && IsBlank(c)) inField = false;
    if (inField) {
      if (fieldLength_ < field_.size()) field_[fieldLength_] = static_cast<char>(c);
      ++fieldLength_;
    }
  };
  for (int c = Peek(); c != -1 && c != '\n'; c = Peek()) {
    ++pos_;
    if (firstByte_ == -1 && markBytes < 3 && c == kMark[markBytes]) {
      if (++markBytes == 3) markBytes = 4;  // a whole mark, dropped
      continue;
    }
    if (markBytes > 0 && markBytes < 3) {
      for (std::size_t k = 0; k < markBytes; ++k) take(kMark[k]);
    }
    markBytes = 4;
    take(c);
  }
  if (markBytes > 0 && markBytes < 3) {
    for (std::size_t k = 0; k < markBytes; ++k) take(kMark[k]);
  }
  if (Peek() == '\n') ++pos_;
  return true;
}

std::optional<std::string> LineReader::Check(const std::array<char, 82>& field,
                                             std::uint64_t length, int firstByte, Grid& start) {
  if (firstByte == ' ' || firstByte == '\t' || firstByte == '\r') {
    return std::string("puzzle: found ") + (firstByte == '\t' ? "a tab" : "a blank") +
           " at the start of the line, expected 81 characters of 1 to 9, 0 or .";
  }
  if (length != 81) {
    return "puzzle: found " + std::to_string(length) + " characters, expected 81";
  }
  for (int k = 0; k < 81; ++k) {
    const char c = field[static_cast<std::size_t>(k)];
    if (c == '.' || (c >= '0' && c <= '9')) {
      start(k / 9 + 1, k % 9 + 1) = static_cast<std::int8_t>(c == '.' ? 0 : c - '0');
      continue;
    }
    return "row " + std::to_string(k / 9 + 1) + ", column " + std::to_string(k % 9 + 1) +
           ": found " + Quoted(std::string_view(&field[static_cast<std::size_t>(k)], 1)) +
           ", expected a cell value 1 to 9, 0 or .";
  }
  const auto cell = [&](int r, int c) { return static_cast<int>(start(r, c)); };
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      if (auto repeat = RepeatMessage(cell, r, c, start(r, c))) return repeat;
    }
  }
  return std::nullopt;
}

std::optional<PuzzleLine> LineReader::Next() {
  while (ReadLine()) {
    if (blank_ || firstByte_ == '#') continue;
    PuzzleLine line;
    line.line = line_;
    line.refusal = Check(field_, fieldLength_, firstByte_, line.start);
    return line;
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
