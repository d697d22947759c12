// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>

#include "control/source.h"
#include "state/grid.h"

namespace tarvik::batch {

// One line of a collection that holds a puzzle, or why it was refused.
struct PuzzleLine {
  std::int64_t line = 0;               // counted from 1, every line of the file included
  Grid start;                          // the 81 cells, 0 for an empty one
  std::array<char, 81> digits{};       // the same as digits, '0' for an empty cell
  std::optional<std::string> refusal;  // what is wrong, as the message after "FILE:LINE: "
};

// Reads a collection one line at a time: one puzzle per line as its first field, 81 bytes of 1-9,
// 0 or '.', row by row; whatever follows the field is ignored unchecked. A line feed ends a line,
// a carriage return just before it is dropped and one anywhere else counts as a blank; a UTF-8
// byte-order mark at the start of a line is skipped. Lines of nothing but blanks, tabs and
// carriage returns, and lines that start with '#', are passed over. Memory does not grow with the
// length of a line: bytes past the field's first 82 are counted, not kept.
class LineReader {
 public:
  explicit LineReader(Source& source) : source_(source) {}

  // The next puzzle line, or nothing at the end of the input (or on a read error, then set).
  std::optional<PuzzleLine> Next();
  std::error_code error() const { return error_; }
  // The bytes read so far, for progress.
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  // The next byte, or -1 at the end of the input.
  int Peek();
  // Reads one whole line into `field_`, `fieldLength_`, `firstByte_` and `blank_`; false at the
  // end of the input.
  bool ReadLine();
  // Takes the next bytes of the line under way.
  void Take(const char* from, const char* end);
  void TakeBytes(const char* from, const char* end);
  static std::optional<std::string> Check(const std::array<char, 82>& field, std::uint64_t length,
                                          int firstByte, PuzzleLine& line);

  Source& source_;
  std::array<char, 4096 + 16> buffer_{};  // 16 bytes more than are ever read, for vector scans
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool atEnd_ = false;
  std::error_code error_;
  std::uint64_t bytesRead_ = 0;
  std::int64_t line_ = 0;

  // The line under way: its first byte after a byte-order mark (-1 for an empty line), its first
  // field (the first 82 bytes kept) and that field's whole length.
  int firstByte_ = -1;
  bool blank_ = true;          // nothing but blanks, tabs and carriage returns
  bool inField_ = true;        // the bytes taken so far are all the first field's
  std::size_t markBytes_ = 0;  // of a byte-order mark at the start; 4 once past it
  static constexpr char kMark[] = "\xEF\xBB\xBF";
  std::array<char, 82> field_{};
  std::uint64_t fieldLength_ = 0;
};

}  // namespace tarvik::batch
