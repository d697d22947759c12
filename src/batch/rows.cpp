// SPDX-License-Identifier: MIT
#include "batch/rows.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tarvik::batch {
namespace {

// Writes the decimal digits of `value` at `out`; returns the end.
char* PutNumber(char* out, std::uint64_t value) {
  char digits[20];
  char* first = digits + sizeof digits;
  do {
    *--first = static_cast<char>('0' + value % 10);
    value /= 10;
  } while (value != 0);
  return std::copy(first, digits + sizeof digits, out);
}

// Writes the 81 cells of `grid` as digits at `out`, with room for 7 bytes more; returns the end.
char* PutGrid(char* out, const Grid& grid) {
  std::int8_t cells[88] = {};
  grid.CopyRows(cells);
  // Cells hold 0 to 9: adding '0' to eight of them at once carries nothing over.
  for (int k = 0; k < 88; k += 8) {
    std::uint64_t eight = 0;
    std::memcpy(&eight, cells + k, 8);
    eight += 0x3030303030303030u;
    std::memcpy(out + k, &eight, 8);
  }
  return out + 81;
}

char* Put(char* out, std::string_view text) { return std::copy(text.begin(), text.end(), out); }

// The length of the UTF-8 sequence at `at`; `valid` false where it is none, and then the length
// of its longest start that could begin one (at least 1), which stands for one U+FFFD.
std::size_t SequenceLength(std::string_view text, std::size_t at, bool& valid) {
  const auto byte = [&](std::size_t k) {
    return k < text.size() ? static_cast<unsigned char>(text[k]) : 0u;
  };
  const unsigned lead = byte(at);
  std::size_t length = 0;
  unsigned low = 0x80;
  unsigned high = 0xBF;  // of the second byte
  valid = false;
  if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    if (lead == 0xE0) low = 0xA0;   // no overlong forms
    if (lead == 0xED) high = 0x9F;  // no surrogates
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    if (lead == 0xF0) low = 0x90;
    if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
  } else {
    return 1;
  }
  if (byte(at + 1) < low || byte(at + 1) > high) return 1;
  for (std::size_t k = 2; k < length; ++k) {
    if (byte(at + k) < 0x80 || byte(at + k) > 0xBF) return k;
  }
  valid = true;
  return length;
}

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (std::size_t k = 0; k < text.size();) {
    const auto c = static_cast<unsigned char>(text[k]);
    if (c >= 0x80) {
      bool valid = false;
      const std::size_t length = SequenceLength(text, k, valid);
      if (valid) {
        out.append(text.substr(k, length));
      } else {
        out += "\xEF\xBF\xBD";
      }
      k += length;
      continue;
    }
    ++k;
    if (c == '"' || c == '\\') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c < 0x20) {
      constexpr char kHex[] = "0123456789abcdef";
      const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 15]};
      out.append(escape, sizeof escape);
    } else {
      out += static_cast<char>(c);
    }
  }
  out += '"';
}

void AppendText(std::string& out, RowFormat format, std::string_view text) {
  switch (format) {
    case RowFormat::kTsv: out += text; return;
    case RowFormat::kCsv:
      if (text.find_first_of("\",\r\n") == std::string_view::npos) {
        out += text;
        return;
      }
      out += '"';
      for (const char c : text) {
        if (c == '"') out += '"';
        out += c;
      }
      out += '"';
      return;
    case RowFormat::kJsonl: AppendJsonString(out, text); return;
  }
}

char Separator(RowFormat format) { return format == RowFormat::kCsv ? ',' : '\t'; }

// Writes the fields of a row one by one, each after its key in JSON lines and after a separator
// in TSV and CSV.
class FieldWriter {
 public:
  FieldWriter(std::string& out, RowFormat format) : out_(out), format_(format) {}

  // The key, or the separator, of the next field.
  void Next(std::string_view key) {
    if (format_ == RowFormat::kJsonl) {
      out_ += first_ ? "{\"" : ",\"";
      out_ += key;
      out_ += "\":";
    } else if (!first_) {
      out_ += Separator(format_);
    }
    first_ = false;
  }
  // A field that needs no quoting in any format.
  void Word(std::string_view key, std::string_view word) {
    Next(key);
    if (format_ == RowFormat::kJsonl) {
      out_ += '"';
      out_ += word;
      out_ += '"';
    } else {
      out_ += word;
    }
  }
  void Raw(std::string_view key, std::string_view raw) {
    Next(key);
    out_ += raw;
  }
  void Number(std::string_view key, std::int64_t value) {
    char digits[24];
    Raw(key, std::string_view(digits,
                              static_cast<std::size_t>(
                                  PutNumber(digits, static_cast<std::uint64_t>(value)) - digits)));
  }
  // An empty field, null in JSON lines.
  void Empty(std::string_view key) { Raw(key, format_ == RowFormat::kJsonl ? "null" : ""); }
  // The kept fields, each after its key or a separator.
  void Kept(const RowLayout& layout, const PuzzleLine& line) {
    KeptValues values(line.kept);
    for (const std::string& head : layout.kept) {
      if (format_ == RowFormat::kJsonl) {
        out_ += ',';
        AppendJsonString(out_, head);
        out_ += ':';
      } else {
        out_ += Separator(format_);
      }
      AppendText(out_, format_, values.Next());
    }
  }
  void End() { out_ += format_ == RowFormat::kJsonl ? "}\n" : "\n"; }

 private:
  std::string& out_;
  const RowFormat format_;
  bool first_ = true;
};

}  // namespace

RowLayout RowLayout::Of(const BatchOptions& options) {
  RowLayout layout;
  layout.format = options.format;
  layout.set = options.lists.Count() > 1;
  layout.solutions = options.solutions;
  layout.answer = options.answers.has_value();
  for (const FieldChoice& field : options.keep) layout.kept.push_back(KeptHead(field));
  return layout;
}

std::string RowsHeader(const RowLayout& layout) {
  if (layout.Plain()) {
    return std::string(layout.solutions ? kRowsHeaderWithSolutions : kRowsHeader);
  }
  if (layout.format == RowFormat::kJsonl) return {};
  std::string header;
  for (const std::string_view name : kRowFieldNames) {
    if ((name == "set" && !layout.set) || (name == "solutions" && !layout.solutions) ||
        (name == "answer" && !layout.answer)) {
      continue;
    }
    if (!header.empty()) header += Separator(layout.format);
    header += name;
  }
  for (const std::string& head : layout.kept) {
    header += Separator(layout.format);
    AppendText(header, layout.format, head);
  }
  header += '\n';
  return header;
}

std::string EncodedText(RowFormat format, std::string_view text) {
  std::string encoded;
  AppendText(encoded, format, text);
  return encoded;
}

namespace {

// The row of a graded line in `kFormat`. The fields but the source and the kept ones are words and
// numbers that no format quotes: they are laid out in a fixed buffer, the keys of JSON lines as
// constants.
template <RowFormat kFormat>
void AppendGraded(std::string& out, const RowLayout& layout, std::string_view encodedSource,
                  const PuzzleLine& line, const Grade& grade, const RowExtras& extras) {
  constexpr bool kJson = kFormat == RowFormat::kJsonl;
  constexpr char kSeparator = kFormat == RowFormat::kCsv ? ',' : '\t';
  // Before the value of each field: its key in JSON lines, else a kSeparator.
  const auto key = [](char* at, std::string_view jsonKey) {
    if constexpr (kJson) return Put(at, jsonKey);
    *at = kSeparator;
    return at + 1;
  };
  if (kJson) out += "{\"source\":";
  out += encodedSource;
  // At most 11 keys of 14 bytes, 20 digits of line number, a set of 10 + 3 + 100 and 2 slashes
  // and 2 quotes, 81 + 81 cells and 4 quotes, 18 of outcome and 2 quotes, 4 * 20 digits of counts,
  // 4 of solutions, 8 of answer and 2 quotes, and 2 bytes of row end: 579, and the grid writes 7
  // bytes past its end.
  char row[600];
  char* at = key(row, ",\"line\":");
  at = PutNumber(at, static_cast<std::uint64_t>(line.line));
  if (layout.set) {
    at = key(at, ",\"set\":");
    at = Put(at, extras.set);
  }
  at = key(at, ",\"puzzle\":\"");
  at = std::copy(line.digits.begin(), line.digits.end(), at);
  at = kJson ? Put(at, "\",\"outcome\":\"") : key(at, "");
  at = Put(at, OutcomeName(grade.summary.outcome));
  if (kJson) *at++ = '"';
  constexpr std::string_view kCountKeys[] = {
      ",\"attempts\":", ",\"steps\":", ",\"depth\":", ",\"empty\":"};
  const std::int64_t counts[] = {grade.summary.attempts, grade.summary.steps, grade.summary.depth,
                                 grade.empty};
  for (std::size_t k = 0; k < 4; ++k) {
    at = key(at, kCountKeys[k]);
    at = PutNumber(at, static_cast<std::uint64_t>(counts[k]));
  }
  at = key(at, ",\"grid\":\"");
  at = PutGrid(at, grade.final);
  if (kJson) *at++ = '"';
  if (layout.solutions) {
    at = key(at, ",\"solutions\":");
    if (extras.solutions) {
      *at++ = static_cast<char>('0' + *extras.solutions);
    } else if (kJson) {
      at = Put(at, "null");
    }
  }
  if (layout.answer) {
    at = key(at, ",\"answer\":");
    if (extras.answer) {
      if (kJson) *at++ = '"';
      at = Put(at, AnswerName(*extras.answer));
      if (kJson) *at++ = '"';
    } else if (kJson) {
      at = Put(at, "null");
    }
  }
  if (layout.kept.empty()) {
    at = Put(at, kJson ? "}\n" : "\n");
    out.append(row, static_cast<std::size_t>(at - row));
    return;
  }
  out.append(row, static_cast<std::size_t>(at - row));
  FieldWriter fields(out, layout.format);
  fields.Kept(layout, line);
  fields.End();
}

}  // namespace

void AppendRow(std::string& out, const RowLayout& layout, std::string_view encodedSource,
               const PuzzleLine& line, const Grade& grade, const RowExtras& extras) {
  switch (layout.format) {
    case RowFormat::kTsv:
      return AppendGraded<RowFormat::kTsv>(out, layout, encodedSource, line, grade, extras);
    case RowFormat::kCsv:
      return AppendGraded<RowFormat::kCsv>(out, layout, encodedSource, line, grade, extras);
    case RowFormat::kJsonl:
      return AppendGraded<RowFormat::kJsonl>(out, layout, encodedSource, line, grade, extras);
  }
}

void AppendRefusedRow(std::string& out, const RowLayout& layout, std::string_view encodedSource,
                      const PuzzleLine& line) {
  FieldWriter fields(out, layout.format);
  fields.Raw("source", encodedSource);
  fields.Number("line", line.line);
  if (layout.set) fields.Empty("set");
  fields.Empty("puzzle");
  fields.Word("outcome", "refused");
  for (const std::string_view key : {"attempts", "steps", "depth", "empty", "grid"}) {
    fields.Empty(key);
  }
  if (layout.solutions) fields.Empty("solutions");
  if (layout.answer) fields.Empty("answer");
  fields.Kept(layout, line);
  fields.End();
}

}  // namespace tarvik::batch
