// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "batch/batch_options.h"
#include "batch/header.h"
#include "state/grid.h"
#include "system/buffered_reader.h"

namespace tarvik::batch {

// One line of a collection that holds a puzzle, or why it was refused.
struct PuzzleLine {
  std::int64_t line = 0;               // counted from 1, every line of the file included
  Grid start;                          // the 81 cells, 0 for an empty one
  std::array<char, 81> digits{};       // the same as digits, '0' for an empty cell
  std::optional<std::string> refusal;  // what is wrong, as the message after "FILE:LINE: "
  // With ExtraFields: the kept fields' values ("" where the line has none), each after its
  // length in 4 bytes (KeptValues reads them), in one string that short values keep off the heap;
  // and the answer's field and the count beside it (in a ':' line of three fields), when the
  // line has them.
  std::string kept;
  std::optional<std::string> answer;
  std::optional<std::string> answerCount;
};

// Reads the kept values of a line one after the other.
class KeptValues {
 public:
  explicit KeptValues(std::string_view kept) : rest_(kept) {}
  // The next value; "" past the last.
  std::string_view Next() {
    if (rest_.size() < 4) return {};
    std::uint32_t length = 0;
    std::memcpy(&length, rest_.data(), 4);
    const std::string_view value = rest_.substr(4, length);
    rest_.remove_prefix(std::min<std::size_t>(rest_.size(), 4 + std::size_t{length}));
    return value;
  }

 private:
  std::string_view rest_;
};

// The fields of each line carried beside its puzzle: kept fields (--keep) and the answer
// (--answers). A name must be in the input's header, or the whole input is refused.
struct ExtraFields {
  std::vector<FieldChoice> keep;
  std::optional<AnswerChoice> answers;

  bool Any() const { return !keep.empty() || answers.has_value(); }
};

// Why a whole input gave no further rows: its header has no field of the name asked for, or its
// compressed data is damaged. Printed as "FILE:LINE: message", or "FILE: message" without a line.
struct InputRefusal {
  std::int64_t line = 0;  // 0 when there is no line to name (an empty file)
  std::string message;
  bool wholeFile = false;  // the input gave no row at all (its header)
};

// Reads a collection one line at a time, one puzzle per line.
//
// Line ends: a line feed ends a line and a carriage return just before it is dropped; an input
// with no line feed but a carriage return in its first 64 KB has carriage returns as line ends.
// Otherwise the other one of the two counts as a blank. A UTF-8 byte-order mark at the start of a
// line is skipped; lines of nothing but blanks, tabs and carriage returns, and lines that start
// with '#', are passed over.
//
// Fields end at a tab, ',', ';', ':' or '|' with the blanks around it, or at a run of blanks; a
// field wrapped in double quotes loses them. The input's first line that is not passed over may be
// its header, which names the field that holds the puzzle (HeaderCheck, FieldChoice). The puzzle
// is 81 bytes of 1-9 given and 0 . * _ - x X empty, row by row.
//
// Memory does not grow with the length of a line: bytes of the puzzle field past its first 84
// are counted, not kept; only with ExtraFields is each line kept whole, to split it. Lines whole in
// the buffer are read by a quick path for the usual puzzle line, and by the byte-by-byte path (the
// only one for lines that cross buffers) otherwise; both give the same results.
class LineReader {
 public:
  explicit LineReader(Source& source, FieldChoice field = {}, ExtraFields extras = {});
  LineReader(const LineReader&) = delete;
  LineReader& operator=(const LineReader&) = delete;
  ~LineReader();

  // The next puzzle line, or nothing at the end of the input, on a read error (error()), or when
  // the input is refused or cut short (refusal()).
  std::optional<PuzzleLine> Next();
  // A failed read; damaged compressed data is a refusal instead.
  std::error_code error() const { return error_; }
  const std::optional<InputRefusal>& refusal() const { return refusal_; }
  // The bytes read so far, and those up to the end of the last line given, for progress.
  std::uint64_t bytesRead() const { return in_.bytesRead(); }
  std::uint64_t lineEnd() const {
    return in_.bytesRead() - static_cast<std::uint64_t>(in_.end() - in_.next());
  }
  // The lines read so far, skipped ones included.
  std::int64_t linesRead() const { return line_; }

  // Bytes looked at for a line feed before carriage returns are taken as line ends; also the
  // size of one read.
  static constexpr std::size_t kBufferBytes = std::size_t{1} << 16;

 private:
  struct Scan;
  // Refills the buffer; false at the end of the input, or on an error or damage (then set).
  bool Fill();
  bool QuickLine(const char* from, const char* end, PuzzleLine& line) const;
  void Feed(const char* from, const char* end);
  void Byte(char c);
  void EndField();
  // What the line under way gives: a puzzle line, or nothing (skipped, a header, a refusal).
  std::optional<PuzzleLine> FinishLine();
  // Reads the input's first line that is not passed over as its header or not, and chooses the
  // puzzle's field; true if the line gives no row.
  bool FirstContentLine();
  // What a length refusal of the line under way adds, the first time in the input that one
  // helps: another field of 81 cells in an input without a header, or a line of 9 cells.
  std::string LengthHint(std::uint64_t length);
  void Damaged(std::int64_t line);
  // Finds the extra fields in the input's first line that is not passed over, `header` or not;
  // false, with the input refused, when a name is not there.
  bool FindExtraFields(bool header);
  // Gives `line` the extra fields of its text.
  void TakeExtraFields(std::string_view text, PuzzleLine& line);

  BufferedReader in_;  // with 16 bytes of slack, for vector reads past a line's end
  const FieldChoice field_;
  bool sniffed_ = false;  // the line end is chosen
  bool atEnd_ = false;    // the buffer is used up and the source ended
  std::error_code error_;
  std::optional<InputRefusal> refusal_;
  bool stopped_ = false;
  std::int64_t line_ = 0;

  char lineEnd_ = '\n';
  const std::uint8_t* classes_;  // of each byte, for the line end in use
  bool seenContent_ = false;     // the input's first line that is not passed over was read
  std::uint32_t target_ = 1;     // the puzzle's field, counted from 1, chosen on that line
  // The fields of a header without a delimiter, until the next line says whether it is split at
  // blanks (target_) or a title (field 1); 0 for none.
  std::uint32_t blankFields_ = 0;
  std::optional<HeaderCheck> header_;  // on the lines up to the first that is not passed over
  std::unique_ptr<Scan> scan_;         // the line under way on the byte-by-byte path

  const ExtraFields extras_;
  std::string text_;  // the line under way on the byte-by-byte path, with extra fields
  std::vector<std::string_view> fields_;
  std::vector<std::uint32_t> keptAt_;  // each kept field's number, counted from 1
  std::uint32_t answerAt_ = 0;         // the answer's field; 0 for none
  bool colonAnswers_ = false;          // the answer is in fields 2 and 3 of a ':' line
  std::size_t fieldsNeeded_ = 0;       // the fields of a line that hold any of them
  bool headed_ = false;                // the input has a header
  bool hinted_ = false;                // a length refusal has had its hint
};

}  // namespace tarvik::batch
