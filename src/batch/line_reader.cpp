#include "batch/line_reader.h"

#include <algorithm>
#include <cstring>

#include "control/grid_repeats.h"
#include "control/quoting.h"

namespace tarvik::batch {
namespace {

// Which box of its band column c is in: 1, 2 or 3.
constexpr int kBoxInBand[10] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3};

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

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
  inField_ = true;
  markBytes_ = 0;
  // The line's bytes a buffer at a time, up to its line feed.
  for (;;) {
    const char* from = buffer_.data() + pos_;
    const char* end = buffer_.data() + end_;
    const auto* feed =
        static_cast<const char*>(std::memchr(from, '\n', static_cast<std::size_t>(end - from)));
    Take(from, feed != nullptr ? feed : end);
    if (feed != nullptr) {
      pos_ = static_cast<std::size_t>(feed - buffer_.data()) + 1;
      break;
    }
    pos_ = end_;
    if (Peek() == -1) break;
  }
  // A line that is the start of a byte-order mark and nothing else.
  if (markBytes_ > 0 && markBytes_ < 3) TakeBytes(kMark, kMark + markBytes_);
  return true;
}

void LineReader::Take(const char* from, const char* end) {
  // A byte-order mark at the start of the line is held back until it is whole, then dropped;
  // anything else that started like one is the line's own bytes.
  while (markBytes_ < 3 && from != end) {
    if (static_cast<unsigned char>(*from) == static_cast<unsigned char>(kMark[markBytes_])) {
      ++from;
      if (++markBytes_ == 3) markBytes_ = 4;
      continue;
    }
    const std::size_t held = markBytes_;
    markBytes_ = 4;
    TakeBytes(kMark, kMark + held);
  }
  TakeBytes(from, end);
}

void LineReader::TakeBytes(const char* from, const char* end) {
  if (from == end) return;
  if (firstByte_ == -1) firstByte_ = static_cast<unsigned char>(*from);
  if (inField_) {
    const char* stop = from;
    while (stop != end && !IsBlank(*stop)) ++stop;
    const auto length = static_cast<std::size_t>(stop - from);
    if (fieldLength_ < field_.size()) {
      std::memcpy(field_.data() + fieldLength_, from,
                  std::min<std::size_t>(length, field_.size() - fieldLength_));
    }
    fieldLength_ += length;
    if (length > 0) blank_ = false;
    inField_ = stop == end;
    from = stop;
  }
  for (; blank_ && from != end; ++from) blank_ = IsBlank(*from);
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
  // One pass over the cells: each is a digit or '.', and a bit per value and unit finds the first
  // cell, in reading order, that repeats a value read before it in its row, column or box.
  int repeat = 0;  // that cell, as 16 * row + column
  std::uint16_t columns[10] = {};
  std::uint16_t boxes[10] = {};
  const char* cell = field.data();
  for (int r = 1; r <= 9; ++r) {
    std::uint16_t row = 0;
    std::uint16_t* band = boxes + kBandStart[r] - 1;  // the band's boxes are band[1] to band[3]
    for (int c = 1; c <= 9; ++c, ++cell) {
      const unsigned digit = static_cast<unsigned char>(*cell) - unsigned{'0'};
      if (digit > 9) {
        if (*cell == '.') {
          start(r, c) = 0;
          continue;
        }
        return "row " + std::to_string(r) + ", column " + std::to_string(c) + ": found " +
               Quoted(std::string_view(cell, 1)) + ", expected a cell value 1 to 9, 0 or .";
      }
      start(r, c) = static_cast<std::int8_t>(digit);
      // Bit 0 stands for the empty cell and is never tested.
      const auto bit = static_cast<std::uint16_t>((1u << digit) & ~1u);
      std::uint16_t& box = band[kBoxInBand[c]];
      if (((row | columns[c] | box) & bit) != 0 && repeat == 0) repeat = r * 16 + c;
      row |= bit;
      columns[c] |= bit;
      box |= bit;
    }
  }
  // Bytes are checked before repeats: a bad byte later in the field is named first.
  if (repeat == 0) return std::nullopt;
  const auto read = [&](int i, int j) { return static_cast<int>(start(i, j)); };
  return RepeatMessage(read, repeat / 16, repeat % 16, start(repeat / 16, repeat % 16));
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
