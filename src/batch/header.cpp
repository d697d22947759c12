// SPDX-License-Identifier: MIT
#include "batch/header.h"

#include <algorithm>

namespace tarvik::batch {
namespace {

// The names a header's puzzle field goes by when --field does not name one, the more specific
// first: a header holding two of them names its puzzle with the earlier.
constexpr std::array<std::string_view, 6> kPuzzleNames = {"puzzle", "puzzles", "quizzes",
                                                          "quiz",   "sudoku",  "grid"};
constexpr std::size_t kLongestPuzzleName = 7;

}  // namespace

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t k = 0; k < a.size(); ++k) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    if (lower(a[k]) != lower(b[k])) return false;
  }
  return true;
}

// What ends a field: 1 for a blank (CR and LF among them), 2 for a delimiter.
constexpr std::array<std::uint8_t, 256> kEnds = [] {
  std::array<std::uint8_t, 256> ends{};
  ends[' '] = ends['\r'] = ends['\n'] = 1;
  for (const char c : kFieldDelimiters) ends[static_cast<unsigned char>(c)] = 2;
  return ends;
}();

void SplitFields(std::string_view line, std::vector<std::string_view>& fields, std::size_t limit) {
  fields.clear();
  const auto take = [&](std::size_t from, std::size_t to) {
    std::string_view field = line.substr(from, to - from);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') {
      field = field.substr(1, field.size() - 2);
    }
    fields.push_back(field);
  };
  std::size_t start = 0;
  bool inGap = false;
  bool gapDelimiter = false;
  for (std::size_t k = 0; k < line.size() && fields.size() < limit; ++k) {
    const std::uint8_t ends = kEnds[static_cast<unsigned char>(line[k])];
    if (inGap) {
      if (ends == 2) {
        if (gapDelimiter) fields.emplace_back();
        gapDelimiter = true;
      } else if (ends == 0) {
        inGap = false;
        start = k;
      }
    } else if (ends != 0) {
      take(start, k);
      inGap = true;
      gapDelimiter = ends == 2;
    }
  }
  if (fields.size() >= limit) return;
  if (!inGap) {
    take(start, line.size());
  } else if (gapDelimiter) {
    fields.emplace_back();
  }
}

std::string_view Unquoted(std::string_view field, std::uint64_t& length, char last) {
  if (length >= 2 && field.front() == '"' && last == '"') {
    length -= 2;
    return field.substr(1);
  }
  return field;
}

HeaderCheck::HeaderCheck(const FieldChoice& field)
    : field_(field),
      nameRoom_(std::max(kLongestPuzzleName, field.name.size()) + 2),
      puzzleRank_(kPuzzleNames.size()) {
  name_.reserve(nameRoom_);
}

void HeaderCheck::Byte(char c, bool delimiter) {
  digit_ |= c >= '0' && c <= '9';
  letter_ |= ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) && c != 'x' && c != 'X';
  delimiter_ |= delimiter;
  if (textLength_ < text_.size()) text_[textLength_] = c;
  ++textLength_;
}

void HeaderCheck::FieldByte(char c) {
  if (name_.size() < nameRoom_) name_ += c;
  ++nameLength_;
  nameLast_ = c;
}

void HeaderCheck::EndField(std::uint32_t field) {
  std::uint64_t length = nameLength_;
  const std::string_view name = Unquoted(name_, length, nameLast_);
  if (length <= name.size()) {
    const std::string_view whole = name.substr(0, static_cast<std::size_t>(length));
    if (named_ == 0 && !field_.name.empty() && SameName(whole, field_.name)) named_ = field;
    for (std::size_t rank = 0; rank < puzzleRank_; ++rank) {
      if (SameName(whole, kPuzzleNames[rank])) {
        puzzleNamed_ = field;
        puzzleRank_ = rank;
        break;
      }
    }
  }
  name_.clear();
  nameLength_ = 0;
  nameLast_ = 0;
}

HeaderVerdict HeaderCheck::Decide(std::uint32_t fields, bool cells, bool droppedReturn) const {
  const bool header = !digit_ && letter_;
  if (!field_.name.empty()) {
    if (header && named_ != 0) return {true, named_, 0, std::nullopt};
    // The line's own bytes, without a carriage return dropped before its line feed.
    const std::uint64_t length = textLength_ - (droppedReturn ? 1 : 0);
    const std::string_view text(
        text_.data(), static_cast<std::size_t>(std::min<std::uint64_t>(length, text_.size())));
    return {true, 1, 0,
            "header: found " + Quoted(text) + ", expected a field named " + Quoted(field_.name)};
  }
  // A grid of empty cells and dots, with a note beside it, is a puzzle line all the same.
  if (!header || cells) return {false, field_.number != 0 ? field_.number : 1, 0, std::nullopt};
  if (field_.number != 0) return {true, field_.number, 0, std::nullopt};
  if (puzzleNamed_ == 0 || fields < 2) return {true, 1, 0, std::nullopt};
  const bool blanksOnly = !delimiter_ && puzzleNamed_ != 1;
  return {true, puzzleNamed_, blanksOnly ? fields : 0, std::nullopt};
}

}  // namespace tarvik::batch
