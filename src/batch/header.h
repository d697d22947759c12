// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "batch/batch_options.h"
#include "system/quoting.h"

namespace tarvik::batch {

// A field without the one pair of double quotes it is wrapped in, if it is: `field` holds its
// first bytes, `length` its length (made 2 shorter) and `last` its last byte.
std::string_view Unquoted(std::string_view field, std::uint64_t& length, char last);

// Whether a header's field `field` (without its quotes) is `name`, in any case.
bool SameName(std::string_view field, std::string_view name);

// The fields of a line as the reader splits them: at a tab, ',', ';', ':' or '|' with the blanks
// around it, or at a run of blanks (CR and LF among them); two delimiters in a row hold an empty
// field, as does one at the end; a field wrapped in double quotes loses them. No more than
// `limit` fields are taken.
void SplitFields(std::string_view line, std::vector<std::string_view>& fields,
                 std::size_t limit = std::numeric_limits<std::size_t>::max());

// What an input's first line that is not passed over is: a header or a puzzle line, and the field
// that holds the puzzle.
struct HeaderVerdict {
  bool header = false;      // the line gives no row
  std::uint32_t field = 1;  // the puzzle's field, counted from 1
  // Nonzero for a header without a delimiter: `field` holds only when the next line that is not
  // passed over has this many fields; otherwise the header is a title, and field 1 holds it.
  std::uint32_t blankFields = 0;
  std::optional<std::string> refusal;  // the header lacks the field --field names: why
};

// The header check, fed the bytes and fields of an input's first line that is not passed over.
//
// The line is a header when it holds no digit and a letter other than x and X, unless (without
// --field=NAME) the field that would hold the puzzle is 81 cells. With --field=NAME the header
// must name that field (any case; the first field of the name). Otherwise a header's puzzle field
// is the one named puzzle, puzzles, quizzes, quiz, sudoku or grid, the earliest name of this list
// that it holds; field 1 when it holds none. A header without a delimiter is split at blanks only
// when the next line has as many fields (HeaderVerdict::blankFields).
class HeaderCheck {
 public:
  explicit HeaderCheck(const FieldChoice& field);

  // Each byte of the line; `delimiter`: it is a tab, ',', ';', ':' or '|'.
  void Byte(char c, bool delimiter);
  // Each byte of the line within a field, after Byte.
  void FieldByte(char c);
  // The end of the line's field `field`, counted from 1.
  void EndField(std::uint32_t field);

  // The verdict on the line, which had `fields` fields; `cells`: the field that would hold the
  // puzzle is 81 cells; `droppedReturn`: the line's last byte is a carriage return dropped before
  // its line feed.
  HeaderVerdict Decide(std::uint32_t fields, bool cells, bool droppedReturn) const;

 private:
  const FieldChoice& field_;
  bool digit_ = false;
  bool letter_ = false;
  bool delimiter_ = false;
  // The line's first bytes, for the message, and its length.
  std::array<char, kQuotedBytes + 1> text_{};
  std::uint64_t textLength_ = 0;
  // The field under way: its first bytes (enough to compare with the names), its length and its
  // last byte.
  std::string name_;
  std::size_t nameRoom_ = 0;
  std::uint64_t nameLength_ = 0;
  char nameLast_ = 0;
  std::uint32_t named_ = 0;        // the first field of the name --field gives
  std::uint32_t puzzleNamed_ = 0;  // the field of the earliest puzzle name found
  std::size_t puzzleRank_ = 0;     // that name's place in the list of names
};

}  // namespace tarvik::batch
