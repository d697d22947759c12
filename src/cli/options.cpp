// SPDX-License-Identifier: MIT
#include "cli/options.h"

#include <algorithm>
#include <cstdint>
#include <limits>

#include "batch/header.h"
#include "system/quoting.h"

namespace tarvik::cli {
namespace {

using Result = std::optional<UsageError>;

Result Refuse(const Given& given, std::string_view expected) {
  return UsageError{std::string(given.name) + ": found " + Quoted(given.value) + ", expected " +
                    std::string(expected)};
}

// A whole [+-]?[0-9]+ within [low, high], read as the puzzle file's values are.
std::optional<std::int64_t> ParseInteger(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
  std::size_t k = 0;
  bool negative = false;
  if (k < text.size() && (text[k] == '+' || text[k] == '-')) negative = text[k++] == '-';
  if (k == text.size()) return std::nullopt;
  std::int64_t magnitude = 0;
  for (; k < text.size(); ++k) {
    if (text[k] < '0' || text[k] > '9') return std::nullopt;
    magnitude = std::min<std::int64_t>(magnitude * 10 + (text[k] - '0'), std::int64_t{1} << 32);
  }
  const std::int64_t value = negative ? -magnitude : magnitude;
  if (value < low || value > high) return std::nullopt;
  return value;
}

constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxField = std::numeric_limits<std::uint32_t>::max();

template <typename T>
Result Integer(const Given& given, std::int64_t low, std::int64_t high, std::string_view expected,
               T& field) {
  const auto parsed = ParseInteger(given.value, low, high);
  if (!parsed) return Refuse(given, expected);
  field = static_cast<T>(*parsed);
  return std::nullopt;
}

// A file or folder name; "-", where `what` is written, would not mean standard output.
Result Name(const Given& given, std::string_view what, bool dash,
            std::optional<std::string>& field) {
  if (!IsUsableName(given.value) || (!dash && given.value == "-")) {
    return Refuse(given, std::string(what) + (dash ? "" : " other than -") +
                             ", not empty and without tabs, CR or LF");
  }
  field = std::string(given.value);
  return std::nullopt;
}

// The room a list leaves for its own values: the sets allowed over the combinations of the others.
std::size_t Room(std::size_t others) { return batch::kMaxParameterSets / others; }

Result RefuseItem(const Given& given, const batch::ListRefusal& refusal) {
  std::string found = Quoted(refusal.item);
  if (refusal.item != given.value) found += " in " + Quoted(given.value);
  return UsageError{std::string(given.name) + ": found " + found + ", expected " +
                    refusal.expected};
}

// A list of values and ranges; the field is the first of them.
Result Numbers(const Given& given, std::int32_t low, std::int32_t high, std::size_t others,
               std::vector<std::int32_t>& values, std::int32_t& field) {
  std::vector<std::int32_t> read;
  if (auto refusal = batch::ParseNumberList(given.value, low, high, Room(others), read)) {
    return RefuseItem(given, *refusal);
  }
  values = std::move(read);
  field = values.front();
  return std::nullopt;
}

Result LookBacks(const Given& given, batch::BatchOptions& batch) {
  auto& lists = batch.lists;
  return Numbers(given, 1, kMax32, lists.steps.size() * lists.sequences.size(), lists.lookBacks,
                 batch.lookBack);
}

Result Steps(const Given& given, batch::BatchOptions& batch) {
  auto& lists = batch.lists;
  return Numbers(given, 5, 100, lists.lookBacks.size() * lists.sequences.size(), lists.steps,
                 batch.steps);
}

Result Sequences(const Given& given, batch::BatchOptions& batch) {
  auto& lists = batch.lists;
  std::vector<std::string> read;
  if (auto refusal = batch::ParseSequenceList(
          given.value, Room(lists.lookBacks.size() * lists.steps.size()), read)) {
    return RefuseItem(given, *refusal);
  }
  lists.sequences = std::move(read);
  batch.sequence = lists.sequences.front();
  return std::nullopt;
}

// All digits: a field number; a signed number, none; anything else: a name in the header, which
// can match only without the bytes that end a field.
Result Field(const Given& given, batch::FieldChoice& field) {
  const std::string_view value = given.value;
  const bool digits = !value.empty() && value.find_first_not_of("0123456789") == value.npos;
  const bool signedNumber = value.size() > 1 && (value[0] == '+' || value[0] == '-') &&
                            value.find_first_not_of("0123456789", 1) == value.npos;
  const auto number = digits ? ParseInteger(value, 1, kMaxField) : std::nullopt;
  if (value.empty() || signedNumber || (digits && !number)) {
    return Refuse(given, "a field number from 1 to 4294967295, or a field name");
  }
  if (!number && value.find_first_of(batch::kFieldEnds) != value.npos) {
    return Refuse(given, "a field name without blanks, tabs, CR, LF or any of , ; : |");
  }
  field = number ? batch::FieldChoice{static_cast<std::uint32_t>(*number), ""}
                 : batch::FieldChoice{0, std::string(value)};
  return std::nullopt;
}

Result Format(const Given& given, batch::RowFormat& format) {
  if (given.value == "tsv") {
    format = batch::RowFormat::kTsv;
  } else if (given.value == "csv") {
    format = batch::RowFormat::kCsv;
  } else if (given.value == "jsonl") {
    format = batch::RowFormat::kJsonl;
  } else {
    return Refuse(given, "tsv, csv or jsonl");
  }
  return std::nullopt;
}

// Fields by number or name, separated by commas; a repeated one is refused here, one named as a
// row's own field once the whole command line is read.
Result Keep(const Given& given, std::vector<batch::FieldChoice>& keep) {
  keep.clear();
  std::string_view rest = given.value;
  for (;;) {
    const std::size_t comma = rest.find(',');
    batch::FieldChoice field;
    if (auto error = Field({given.name, rest.substr(0, comma)}, field)) return error;
    const std::string head = batch::KeptHead(field);
    for (const batch::FieldChoice& before : keep) {
      if (batch::SameName(batch::KeptHead(before), head)) {
        return Refuse(given, "fields named once each (" + Quoted(head) + " is repeated)");
      }
    }
    keep.push_back(std::move(field));
    if (comma == std::string_view::npos) return std::nullopt;
    rest.remove_prefix(comma + 1);
  }
}

Result Answers(const Given& given, std::optional<batch::AnswerChoice>& answers) {
  answers.emplace();
  if (!given.valued) return std::nullopt;
  return Field(given, answers->field);
}

Result Switch(Command& command, Command::Mode mode) {
  command.mode = mode;
  return std::nullopt;
}

Result Flag(bool& field, bool value) {
  field = value;
  return std::nullopt;
}

using G = const Given&;
using C = Command&;

constexpr Option kOptions[] = {
    // The classic run's, and the ones of every mode.
    {"", 'C', "DIR", Scope::kClassic, "run in DIR, as cd DIR && tarvik",
     [](G g, C c) { return Name(g, "a folder name", true, c.directory); }},
    {"--view", 0, "FILE", Scope::kClassic, "also write FILE, an HTML page showing the whole run",
     [](G g, C c) { return Name(g, "a file name", true, c.view); }},
    {"--help", 'h', "", Scope::kAny, "print this text",
     [](G, C c) { return Switch(c, Command::Mode::kHelp); }},
    {"--version", 0, "", Scope::kAny, "print the version",
     [](G, C c) { return Switch(c, Command::Mode::kVersion); }},
    {"--batch", 0, "", Scope::kAny, "", [](G, C c) { return Switch(c, Command::Mode::kBatch); }},
    // The batch mode's.
    {"--field", 0, "N|NAME", Scope::kBatch,
     "the puzzle's field: the N-th, or the one NAME heads\n"
     "(default: a header's puzzle or quizzes field, else 1)",
     [](G g, C c) { return Field(g, c.batch.field); }},
    {"--look-back", 0, "LIST", Scope::kBatch,
     "look-back distance, 1 or more (default 4); a LIST of\n"
     "values and ranges A-B or A-B/S (step S), separated by\n"
     "commas, sweeps them",
     [](G g, C c) { return LookBacks(g, c.batch); }},
    {"--steps", 0, "LIST", Scope::kBatch,
     "number of steps, 5 to 100 (default 40); a LIST as for\n"
     "--look-back sweeps them",
     [](G g, C c) { return Steps(g, c.batch); }},
    {"--sequence", 0, "LIST", Scope::kBatch,
     "1 to 100 codes 1-4, repeated to fill the steps\n"
     "(default 4123); a LIST of them and of perm:CODES (every\n"
     "ordering of CODES) sweeps them. A sweep works every\n"
     "combination of the three lists, at most 10000 sets, and\n"
     "gives a row for each, its field set after line",
     [](G g, C c) { return Sequences(g, c.batch); }},
    {"--reports", 0, "DIR", Scope::kBatch,
     "write each puzzle's Sudout.txt as DIR/NAME-LINE.txt\n"
     "(DIR/NAME-LINE-K.txt for set K of a sweep)",
     [](G g, C c) { return Name(g, "a folder name", false, c.batch.reportsDir); }},
    {"--print-level", 0, "N", Scope::kBatch, "print level of those reports (default 0)",
     [](G g, C c) { return Integer(g, kMin32, kMax32, "an integer", c.batch.printLevel); }},
    {"--views", 0, "DIR", Scope::kBatch,
     "write each puzzle's page as DIR/NAME-LINE.html\n"
     "(DIR/NAME-LINE-K.html for set K of a sweep), and the\n"
     "batch's page as DIR/index.html",
     [](G g, C c) { return Name(g, "a folder name", false, c.batch.viewsDir); }},
    // Standard output holds the rows: the page goes to a file of its own.
    {"--overview", 0, "FILE", Scope::kBatch, "write one HTML page of the whole batch to FILE",
     [](G g, C c) { return Name(g, "a file name", false, c.batch.overview); }},
    {"--solutions", 0, "", Scope::kBatch,
     "add a field: each puzzle's solutions, 0, 1 or 2 (two or\n"
     "more), counted by an exact solver apart from the algorithm",
     [](G, C c) { return Flag(c.batch.solutions, true); }},
    {"--jobs", 'j', "N", Scope::kBatch,
     "threads, 0 to 1024; 0 (the default) uses every processor;\n"
     "with --reports or --views, as many as open files allow",
     [](G g, C c) { return Integer(g, 0, 1024, "an integer from 0 to 1024", c.batch.jobs); }},
    {"--format", 0, "FORMAT", Scope::kBatch,
     "the rows as tsv (the default), csv or jsonl (JSON lines)",
     [](G g, C c) { return Format(g, c.batch.format); }},
    {"--keep", 0, "FIELDS", Scope::kBatch,
     "add the input's fields to each row: numbers or header\n"
     "names, separated by commas, headed as given (fieldN)",
     [](G g, C c) { return Keep(g, c.batch.keep); }},
    {"--answers", 0, "[FIELD]", Scope::kBatch,
     "add a field: each puzzle checked against its line's answer\n"
     "(default: a solution field, or a ':' line's count and\n"
     "solution): match, other, differs, unsolved, none, bad",
     [](G g, C c) { return Answers(g, c.batch.answers); }},
    {"--no-header", 0, "", Scope::kBatch, "leave out the header row",
     [](G, C c) { return Flag(c.batch.header, false); }},
    {"--quiet", 'q', "", Scope::kBatch, "no progress line and no summary",
     [](G, C c) { return Flag(c.batch.quiet, true); }},
};

// Where the text of an option line starts in --help.
constexpr std::size_t kHelpColumn = 21;

}  // namespace

bool IsUsableName(std::string_view name) {
  return !name.empty() && name.find_first_of("\t\r\n") == std::string_view::npos;
}

std::string Option::Label() const {
  const std::string shortForm = letter != 0 ? std::string{'-', letter} : std::string();
  if (name.empty()) return TakesValue() ? shortForm + " " + std::string(value) : shortForm;
  std::string label = letter != 0 ? shortForm + ", " : std::string();
  label += name;
  if (ValueOptional()) {
    label.append("[=").append(value.substr(1, value.size() - 2)).append("]");
  } else if (TakesValue()) {
    label.append("=").append(value);
  }
  return label;
}

std::span<const Option> Options() { return kOptions; }

const Option* FindLong(std::string_view name) {
  const auto at = std::find_if(std::begin(kOptions), std::end(kOptions),
                               [&](const Option& o) { return !o.name.empty() && o.name == name; });
  return at == std::end(kOptions) ? nullptr : at;
}

const Option* FindShort(char letter) {
  const auto at = std::find_if(std::begin(kOptions), std::end(kOptions), [&](const Option& o) {
    return o.letter != 0 && o.letter == letter;
  });
  return at == std::end(kOptions) ? nullptr : at;
}

std::string OptionLines(bool batch) {
  std::string lines;
  for (const Option& option : kOptions) {
    if (option.help.empty() || (option.scope == Scope::kBatch) != batch) continue;
    std::string text = "  " + option.Label();
    for (std::string_view help = option.help;;) {
      text.resize(std::max(kHelpColumn, text.size() + 1), ' ');
      const std::size_t end = std::min(help.find('\n'), help.size());
      lines.append(text).append(help.substr(0, end)).append("\n");
      if (end == help.size()) break;
      help.remove_prefix(end + 1);
      text.clear();
    }
  }
  return lines;
}

}  // namespace tarvik::cli
