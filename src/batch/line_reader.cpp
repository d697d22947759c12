// SPDX-License-Identifier: MIT
#include "batch/line_reader.h"

#include <algorithm>
#include <cstring>
#include <string_view>

#include "batch/cells.h"
#include "batch/collection_source.h"
#include "batch/header.h"
#include "system/quoting.h"

namespace tarvik::batch {
namespace {

// What a byte is to the field split: the end of a field, and one that ends it alone (a
// delimiter); and whether a line of nothing else is passed over.
constexpr std::uint8_t kEndsField = 1;
constexpr std::uint8_t kDelimiter = 2;
constexpr std::uint8_t kBlankLine = 4;

// The classes of the 256 bytes when `lineEnd` ends lines: the other of CR and LF is a blank.
constexpr std::array<std::uint8_t, 256> ClassesFor(char lineEnd) {
  std::array<std::uint8_t, 256> classes{};
  classes[' '] = kEndsField | kBlankLine;
  classes[lineEnd == '\n' ? '\r' : '\n'] = kEndsField | kBlankLine;
  for (const char c : kFieldDelimiters) {
    classes[static_cast<unsigned char>(c)] = kEndsField | kDelimiter;
  }
  classes['\t'] |= kBlankLine;
  return classes;
}
constexpr std::array<std::uint8_t, 256> kFeedClasses = ClassesFor('\n');
constexpr std::array<std::uint8_t, 256> kReturnClasses = ClassesFor('\r');

constexpr char kMark[] = "\xEF\xBB\xBF";

// The bytes of a line looked at for a hint when its puzzle field has the wrong length.
constexpr std::size_t kHintBytes = 4096;

// Takes the 81 cells into `line`; the message of the first repeat, if any.
std::optional<std::string> TakeCells(const std::int8_t* cells, const char* digits,
                                     PuzzleLine& line) {
  line.start.AssignRows(cells);
  std::memcpy(line.digits.data(), digits, line.digits.size());
  return FirstRepeat(cells, line.start);
}

std::string Count(std::uint64_t n, std::string_view one) {
  return std::to_string(n) + " " + std::string(one) + (n == 1 ? "" : "s");
}

// A field as the byte-by-byte path keeps it: its first bytes, its length and its last byte.
struct FieldBytes {
  std::array<char, 84> kept{};
  std::uint64_t length = 0;
  char last = 0;

  void Add(char c) {
    if (length < kept.size()) kept[length] = c;
    ++length;
    last = c;
  }
  // The field without its quotes, and its length then.
  std::string_view Bytes(std::uint64_t& unquotedLength) const {
    unquotedLength = length;
    return Unquoted(std::string_view(kept.data(), kept.size()), unquotedLength, last);
  }
  // Whether the field is 81 cells.
  bool Cells() const {
    std::uint64_t n = 0;
    const std::string_view bytes = Bytes(n);
    return n == 81 && std::all_of(bytes.begin(), bytes.begin() + 81, IsCell);
  }
};

}  // namespace

// The line under way, as the byte-by-byte path sees it.
struct LineReader::Scan {
  int firstByte = -1;  // after a byte-order mark; -1 for an empty line
  int lastByte = -1;
  bool blank = true;          // nothing but blanks, tabs and carriage returns
  std::size_t markBytes = 0;  // of a byte-order mark at the start; 4 once past it
  bool skipRest = false;      // nothing further of the line can change what it gives
  bool header = false;        // the input's first line that is not passed over may be this one
  // Every field is counted: on the header's line, and on the line that says whether a header
  // without a delimiter is split at blanks.
  bool wholeLine = false;

  std::uint32_t field = 1;  // the field under way, counted from 1
  bool inGap = false;       // between fields
  bool gapDelimiter = false;

  std::uint32_t puzzleField = 1;
  FieldBytes puzzle;
  FieldBytes first;  // field 1, kept too on a whole line where it is not the puzzle's
};

LineReader::LineReader(Source& source, FieldChoice field, ExtraFields extras)
    : in_(source, kBufferBytes, 16),
      field_(std::move(field)),
      classes_(kFeedClasses.data()),
      scan_(std::make_unique<Scan>()),
      extras_(std::move(extras)) {}

LineReader::~LineReader() = default;

bool LineReader::Fill() {
  if (atEnd_) return false;
  in_.Refill();
  if (!sniffed_) {
    // The first reads go on until a line feed or 64 KB has come, to choose the line end.
    const char* unsearched = in_.next();
    while (std::memchr(unsearched, '\n', static_cast<std::size_t>(in_.end() - unsearched)) ==
           nullptr) {
      if (in_.ended() || in_.full()) {
        if (std::memchr(in_.next(), '\r', static_cast<std::size_t>(in_.end() - in_.next())) !=
            nullptr) {
          lineEnd_ = '\r';
          classes_ = kReturnClasses.data();
        }
        break;
      }
      unsearched = in_.end();
      in_.ReadMore();
    }
    sniffed_ = true;
  }
  if (!in_.empty()) return true;
  // The source's error is told once the bytes before it are used up.
  atEnd_ = true;
  const std::error_code error = in_.error();
  if (error.category() == DamagedDataCategory()) {
    refusal_ = InputRefusal{0, "compressed data is damaged: " + error.message()};
  } else {
    error_ = error;
  }
  return false;
}

void LineReader::Damaged(std::int64_t line) {
  if (refusal_) {
    refusal_->line = line;
    stopped_ = true;
  }
}

bool LineReader::QuickLine(const char* from, const char* end, PuzzleLine& line) const {
  const char* at = from;
  if (at != end && *at == kMark[0]) {
    if (end - at < 3 || at[1] != kMark[1] || at[2] != kMark[2]) return false;
    at += 3;
  }
  const auto classOf = [&](char c) { return classes_[static_cast<unsigned char>(c)]; };
  // Blank and comment lines, and a blank or a tab at the start, go the long way.
  if (at == end || classOf(*at) != 0 || *at == '#') return false;
  for (std::uint32_t k = 1; k < target_; ++k) {
    while (at != end && classOf(*at) == 0) ++at;
    // Blanks with at most one delimiter among them, then the next field.
    bool delimiter = false;
    while (at != end && classOf(*at) != 0) {
      if ((classOf(*at) & kDelimiter) != 0) {
        if (delimiter) return false;
        delimiter = true;
      }
      ++at;
    }
    if (at == end) return false;
  }
  const bool quoted = *at == '"';
  at += quoted ? 1 : 0;
  if (end - at < 81) return false;
  std::int8_t cells[96];
  char digits[96];
  // The buffer has 16 bytes past any line for this vector read.
  if (!ToCells(at, cells, digits)) return false;
  const char* after = at + 81;
  if (quoted) {
    if (after == end || *after != '"') return false;
    ++after;
  }
  if (after != end && classOf(*after) == 0) return false;
  line.refusal = TakeCells(cells, digits, line);
  return true;
}

void LineReader::Feed(const char* from, const char* end) {
  Scan& s = *scan_;
  // A byte-order mark at the start of the line is held back until it is whole, then dropped;
  // anything else that started like one is the line's own bytes.
  while (s.markBytes < 3 && from != end) {
    if (*from == kMark[s.markBytes]) {
      ++from;
      if (++s.markBytes == 3) s.markBytes = 4;
      continue;
    }
    const std::size_t held = s.markBytes;
    s.markBytes = 4;
    for (std::size_t k = 0; k < held; ++k) Byte(kMark[k]);
  }
  for (; from != end && !s.skipRest; ++from) Byte(*from);
}

void LineReader::Byte(char c) {
  Scan& s = *scan_;
  const auto u = static_cast<unsigned char>(c);
  const std::uint8_t kind = classes_[u];
  if (s.firstByte < 0) {
    s.firstByte = u;
    if (c == '#') {
      s.skipRest = true;
      return;
    }
  }
  s.lastByte = u;
  if ((kind & kBlankLine) == 0) s.blank = false;
  if (s.header) header_->Byte(c, (kind & kDelimiter) != 0);
  if (s.inGap) {
    if ((kind & kDelimiter) != 0) {
      if (s.gapDelimiter) {
        // Two delimiters in a row: an empty field between them.
        ++s.field;
        EndField();
      }
      s.gapDelimiter = true;
      return;
    }
    if (kind != 0) return;
    ++s.field;
    s.inGap = false;
  } else if (kind != 0) {
    EndField();
    s.inGap = true;
    s.gapDelimiter = (kind & kDelimiter) != 0;
    // Past the puzzle's field, only a whole line needs the rest of it.
    if (!s.wholeLine && !s.blank && s.field >= s.puzzleField) s.skipRest = true;
    return;
  }
  if (s.field == s.puzzleField) {
    s.puzzle.Add(c);
  } else if (s.field == 1 && s.wholeLine) {
    s.first.Add(c);
  }
  if (s.header) header_->FieldByte(c);
}

void LineReader::EndField() {
  if (scan_->header) header_->EndField(scan_->field);
}

std::optional<PuzzleLine> LineReader::FinishLine() {
  Scan& s = *scan_;
  if (s.markBytes > 0 && s.markBytes < 3) {
    // A line that is the start of a byte-order mark and nothing else.
    const std::size_t held = s.markBytes;
    s.markBytes = 4;
    for (std::size_t k = 0; k < held; ++k) Byte(kMark[k]);
  }
  if (s.firstByte == '#' || s.blank) return std::nullopt;
  if (!s.skipRest) {
    // The field under way ends with the line; a delimiter at its end adds an empty one.
    if (!s.inGap) {
      EndField();
    } else if (s.gapDelimiter) {
      ++s.field;
      EndField();
    }
  }
  if (!seenContent_) {
    seenContent_ = true;
    if (FirstContentLine()) return std::nullopt;  // a header, or the input refused
  } else if (blankFields_ != 0) {
    // The line after a header without a delimiter: unless it has as many fields, the header was a
    // title and field 1 holds the puzzle.
    if (s.field != blankFields_) {
      target_ = 1;
      s.puzzle = s.first;
    }
    blankFields_ = 0;
  }
  PuzzleLine line;
  line.line = line_;
  if ((classes_[static_cast<unsigned char>(s.firstByte)] & kBlankLine) != 0) {
    line.refusal = std::string("puzzle: found ") + (s.firstByte == '\t' ? "a tab" : "a blank") +
                   " at the start of the line, expected 81 characters of " +
                   std::string(kCellsExpected);
    return line;
  }
  if (s.field < target_) {
    line.refusal = "puzzle: found " + Count(s.field, "field") + ", expected at least " +
                   std::to_string(target_);
    return line;
  }
  std::uint64_t length = 0;
  const std::string_view kept = s.puzzle.Bytes(length);
  if (length != 81) {
    line.refusal = "puzzle: found " + Count(length, "byte") + ", expected 81" + LengthHint(length);
    return line;
  }
  char bytes[96] = {};
  std::memcpy(bytes, kept.data(), 81);
  std::int8_t cells[96];
  char digits[96];
  if (!ToCells(bytes, cells, digits)) {
    for (std::size_t k = 0;; ++k) {
      if (IsCell(bytes[k])) continue;
      line.refusal = "row " + std::to_string(k / 9 + 1) + ", column " + std::to_string(k % 9 + 1) +
                     ": found " + Quoted(std::string_view(&bytes[k], 1)) + ", expected " +
                     std::string(kCellsExpected);
      return line;
    }
  }
  line.refusal = TakeCells(cells, digits, line);
  return line;
}

std::string LineReader::LengthHint(std::uint64_t length) {
  if (hinted_) return {};
  std::string_view text = text_;
  if (text.starts_with(kMark)) text.remove_prefix(3);
  SplitFields(text, fields_);
  const auto cells = [](std::string_view field) {
    return field.size() == 81 && std::all_of(field.begin(), field.end(), IsCell);
  };
  // In a puzzle:count:solution file, field 3 is the solution.
  const bool colonThree = fields_.size() == 3 && std::count(text.begin(), text.end(), ':') == 2;
  if (!headed_) {
    for (std::size_t k = 0; k < fields_.size(); ++k) {
      const std::size_t number = k + 1;
      if (number == target_ || (colonThree && number == 3) || !cells(fields_[k])) continue;
      hinted_ = true;
      return " (field " + std::to_string(number) +
             " holds 81 cells: --field=" + std::to_string(number) + " reads it)";
    }
  }
  const std::string_view puzzle = target_ <= fields_.size() ? fields_[target_ - 1] : "";
  if (length == 9 && puzzle.size() == 9 && std::all_of(puzzle.begin(), puzzle.end(), IsCell)) {
    hinted_ = true;
    return " (9 cells a line: join each 9 lines into one, see the manual)";
  }
  return {};
}

bool LineReader::FirstContentLine() {
  const Scan& s = *scan_;
  const HeaderVerdict verdict =
      header_->Decide(s.field, s.puzzle.Cells(), lineEnd_ == '\n' && s.lastByte == '\r');
  header_.reset();
  if (verdict.refusal) {
    refusal_ = InputRefusal{line_, *verdict.refusal, true};
    stopped_ = true;
    return true;
  }
  target_ = verdict.field;
  blankFields_ = verdict.blankFields;
  headed_ = verdict.header;
  if (extras_.Any() && !FindExtraFields(verdict.header)) return true;
  return verdict.header;
}

bool LineReader::FindExtraFields(bool header) {
  std::string_view text = text_;
  if (text.starts_with(kMark)) text.remove_prefix(3);
  SplitFields(text, fields_);
  std::optional<std::string> missing;
  const auto numberOf = [&](const FieldChoice& field) -> std::uint32_t {
    if (field.name.empty()) return field.number;
    if (header) {
      for (std::size_t k = 0; k < fields_.size(); ++k) {
        if (SameName(fields_[k], field.name)) return static_cast<std::uint32_t>(k + 1);
      }
    }
    if (!missing) missing = field.name;
    return 0;
  };
  for (const FieldChoice& field : extras_.keep) keptAt_.push_back(numberOf(field));
  if (extras_.answers) {
    const FieldChoice& field = extras_.answers->field;
    if (field.number != 0 || !field.name.empty()) {
      answerAt_ = numberOf(field);
    } else if (header) {
      for (std::size_t k = 0; k < fields_.size() && answerAt_ == 0; ++k) {
        if (SameName(fields_[k], "solution") || SameName(fields_[k], "solutions")) {
          answerAt_ = static_cast<std::uint32_t>(k + 1);
        }
      }
    } else {
      colonAnswers_ = true;
    }
  }
  // A ':' line's answer needs to know that there are no more than three fields.
  fieldsNeeded_ = colonAnswers_ ? 4 : answerAt_;
  for (const std::uint32_t at : keptAt_) fieldsNeeded_ = std::max<std::size_t>(fieldsNeeded_, at);
  if (!missing) return true;
  // The line's own bytes, without a carriage return dropped before its line feed.
  const std::string_view shown =
      lineEnd_ == '\n' && text.ends_with('\r') ? text.substr(0, text.size() - 1) : text;
  refusal_ = InputRefusal{
      line_, "header: found " + Quoted(shown) + ", expected a field named " + Quoted(*missing),
      true};
  stopped_ = true;
  return false;
}

void LineReader::TakeExtraFields(std::string_view text, PuzzleLine& line) {
  if (text.starts_with(kMark)) text.remove_prefix(3);
  SplitFields(text, fields_, fieldsNeeded_);
  line.kept.clear();
  for (const std::uint32_t at : keptAt_) {
    const std::string_view value = at != 0 && at <= fields_.size() ? fields_[at - 1] : "";
    const auto length = static_cast<std::uint32_t>(value.size());
    char prefix[4];
    std::memcpy(prefix, &length, 4);
    line.kept.append(prefix, 4).append(value);
  }
  line.answer.reset();
  line.answerCount.reset();
  if (colonAnswers_) {
    if (fields_.size() == 3 && std::count(text.begin(), text.end(), ':') == 2) {
      line.answerCount.emplace(fields_[1]);
      line.answer.emplace(fields_[2]);
    }
  } else if (answerAt_ != 0 && answerAt_ <= fields_.size()) {
    line.answer.emplace(fields_[answerAt_ - 1]);
  }
}

std::optional<PuzzleLine> LineReader::Next() {
  while (!stopped_) {
    if (in_.empty() && !Fill()) {
      Damaged(line_ + 1);
      break;
    }
    ++line_;
    const char* from = in_.next();
    const char* end = in_.end();
    const auto* eol =
        static_cast<const char*>(std::memchr(from, lineEnd_, static_cast<std::size_t>(end - from)));
    if (eol != nullptr && seenContent_ && blankFields_ == 0) {
      in_.TakeTo(eol + 1);
      PuzzleLine line;
      line.line = line_;
      if (QuickLine(from, eol, line)) {
        if (extras_.Any()) TakeExtraFields(std::string_view(from, eol), line);
        return line;
      }
    }
    // The byte-by-byte path, the line a buffer at a time.
    *scan_ = Scan{};
    Scan& s = *scan_;
    s.header = !seenContent_;
    s.wholeLine = s.header || blankFields_ != 0;
    s.puzzleField = seenContent_ ? target_ : field_.number != 0 ? field_.number : 1;
    // Each line before the first that is not passed over may be the header: checked afresh.
    if (s.header) header_.emplace(field_);
    text_.clear();
    for (;;) {
      const char* to = eol != nullptr ? eol : end;
      if (extras_.Any()) {
        text_.append(from, to);
      } else if (!hinted_ && text_.size() < kHintBytes) {
        // Enough of the line for the hints of a length refusal.
        text_.append(from, std::min<std::size_t>(static_cast<std::size_t>(to - from),
                                                 kHintBytes - text_.size()));
      }
      Feed(from, eol != nullptr ? eol : end);
      if (eol != nullptr) {
        in_.TakeTo(eol + 1);
        break;
      }
      in_.TakeTo(end);
      if (!Fill()) break;
      from = in_.next();
      end = in_.end();
      eol = static_cast<const char*>(
          std::memchr(from, lineEnd_, static_cast<std::size_t>(end - from)));
    }
    if (refusal_) {
      // Damaged data: the partial line is not read.
      Damaged(line_);
      break;
    }
    if (std::optional<PuzzleLine> line = FinishLine()) {
      if (extras_.Any()) TakeExtraFields(text_, *line);
      return line;
    }
  }
  std::string_view named = field_.name;
  for (const FieldChoice& kept : extras_.keep) {
    if (named.empty()) named = kept.name;
  }
  if (named.empty() && extras_.answers) named = extras_.answers->field.name;
  if (atEnd_ && !refusal_ && !error_ && !named.empty() && !seenContent_) {
    refusal_ = InputRefusal{
        0, "header: found an empty file, expected a field named " + Quoted(named), true};
    stopped_ = true;
  }
  return std::nullopt;
}

}  // namespace tarvik::batch
