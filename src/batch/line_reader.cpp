// SPDX-License-Identifier: MIT
#include "batch/line_reader.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__)
#include <immintrin.h>
#endif

#include "control/grid_repeats.h"
#include "control/quoting.h"

namespace tarvik::batch {
namespace {

// Which box of its band column c is in: 1, 2 or 3.
constexpr int kBoxInBand[10] = {0, 1, 1, 1, 2, 2, 2, 3, 3, 3};

// Turns the first 81 bytes of `field` into cell values, '.' as 0; false if any is neither a digit
// nor '.'; the same values as digits into `digits`. Both have room for 96.
bool ToCells(const std::array<char, 82>& field, std::int8_t* cells, char* digits) {
#if defined(__SSE2__)
  char bytes[96] = {};
  std::memcpy(bytes, field.data(), 81);
  std::memset(bytes + 81, '0', sizeof bytes - 81);
  const __m128i zero = _mm_set1_epi8('0');
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i dot = _mm_set1_epi8('.');
  int bad = 0;
  for (int k = 0; k < 96; k += 16) {
    const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + k));
    const __m128i digit = _mm_sub_epi8(in, zero);
    const __m128i isDigit = _mm_cmpeq_epi8(_mm_min_epu8(digit, nine), digit);
    const __m128i isDot = _mm_cmpeq_epi8(in, dot);
    bad |= _mm_movemask_epi8(_mm_or_si128(isDigit, isDot)) ^ 0xFFFF;
    const __m128i value = _mm_and_si128(digit, isDigit);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(cells + k), value);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(digits + k), _mm_add_epi8(value, zero));
  }
  return bad == 0;
#else
  bool all = true;
  for (std::size_t k = 0; k < 81; ++k) {
    const unsigned digit = static_cast<unsigned char>(field[k]) - unsigned{'0'};
    all &= digit <= 9 || field[k] == '.';
    cells[k] = static_cast<std::int8_t>(digit <= 9 ? digit : 0);
    digits[k] = static_cast<char>('0' + cells[k]);
  }
  return all;
#endif
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// The first blank, tab or carriage return in [from, end), or end. Reads up to 15 bytes past end,
// which the buffer has room for.
const char* FieldEnd(const char* from, const char* end) {
#if defined(__SSE2__)
  for (; from < end; from += 16) {
    const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
    const __m128i blanks = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(bytes, _mm_set1_epi8(' ')),
                                                     _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\t'))),
                                        _mm_cmpeq_epi8(bytes, _mm_set1_epi8('\r')));
    const auto found = static_cast<unsigned>(_mm_movemask_epi8(blanks));
    if (found != 0) return std::min(end, from + std::countr_zero(found));
  }
  return end;
#else
  while (from != end && !IsBlank(*from)) ++from;
  return from;
#endif
}

}  // namespace

int LineReader::Peek() {
  if (pos_ == end_) {
    if (atEnd_) return -1;
    pos_ = 0;
    end_ = source_.Read(buffer_.data(), buffer_.size() - 16, error_);
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
    const char* stop = FieldEnd(from, end);
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
                                             std::uint64_t length, int firstByte,
                                             PuzzleLine& line) {
  Grid& start = line.start;
  if (firstByte == ' ' || firstByte == '\t' || firstByte == '\r') {
    return std::string("puzzle: found ") + (firstByte == '\t' ? "a tab" : "a blank") +
           " at the start of the line, expected 81 characters of 1 to 9, 0 or .";
  }
  if (length != 81) {
    return "puzzle: found " + std::to_string(length) + " characters, expected 81";
  }
  // Every cell a digit or '.', checked for all 81 at once and turned into its value (0 for '.');
  // the first bad one is looked for only when there is one.
  std::int8_t cells[96];
  char digits[96];
  if (!ToCells(field, cells, digits)) {
    for (std::size_t k = 0;; ++k) {
      const char c = field[k];
      if (c == '.' || (c >= '0' && c <= '9')) continue;
      return "row " + std::to_string(k / 9 + 1) + ", column " + std::to_string(k % 9 + 1) +
             ": found " + Quoted(std::string_view(&field[k], 1)) +
             ", expected a cell value 1 to 9, 0 or .";
    }
  }
  // A bit per value and unit shows whether any cell repeats a value read before it in its row,
  // column or box; only then is the first such cell looked for, to name it.
  std::uint32_t columns[10] = {};
  std::uint32_t boxes[4] = {};
  std::uint32_t repeats = 0;
  for (int r = 0; r < 9; ++r) {
    if (r % 3 == 0) boxes[1] = boxes[2] = boxes[3] = 0;
    std::uint32_t row = 0;
    for (int c = 1; c <= 9; ++c) {
      const std::uint32_t bit = (1u << cells[9 * r + c - 1]) & ~1u;  // none for an empty cell
      std::uint32_t& box = boxes[kBoxInBand[c]];
      repeats |= (row | columns[c] | box) & bit;
      row |= bit;
      columns[c] |= bit;
      box |= bit;
    }
  }
  start.AssignRows(cells);
  std::memcpy(line.digits.data(), digits, line.digits.size());
  if (repeats == 0) return std::nullopt;
  const auto read = [&](int i, int j) { return static_cast<int>(start(i, j)); };
  for (int r = 1; r <= 9; ++r) {
    for (int c = 1; c <= 9; ++c) {
      if (auto repeat = RepeatMessage(read, r, c, start(r, c))) return repeat;
    }
  }
  return std::nullopt;
}

std::optional<PuzzleLine> LineReader::Next() {
  while (ReadLine()) {
    if (blank_ || firstByte_ == '#') continue;
    PuzzleLine line;
    line.line = line_;
    line.refusal = Check(field_, fieldLength_, firstByte_, line);
    return line;
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
