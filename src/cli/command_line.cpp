// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include <cstdint>
#include <limits>
#include <map>

#include "control/quoting.h"

namespace tarvik::cli {
namespace {

using Parsed = std::variant<Command, UsageError>;

UsageError Refuse(std::string_view option, std::string_view found, std::string_view expected) {
  return {std::string(option) + ": found " + Quoted(found) + ", expected " + std::string(expected)};
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

// A name of a file or folder: not empty, and nothing that would split a message or a row.
bool IsUsableName(std::string_view name) {
  return !name.empty() && name.find_first_of("\t\r\n") == std::string_view::npos;
}

constexpr std::int64_t kMin32 = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kMax32 = std::numeric_limits<std::int32_t>::max();
constexpr std::int64_t kMaxField = std::numeric_limits<std::uint32_t>::max();

enum class Scope { kAny, kClassic, kBatch };

struct OptionRule {
  std::string_view name;
  bool takesValue;
  Scope scope;
};

constexpr OptionRule kOptions[] = {
    {"--help", false, Scope::kAny},      {"--version", false, Scope::kAny},
    {"--batch", false, Scope::kAny},     {"-C", true, Scope::kClassic},
    {"--view", true, Scope::kClassic},   {"--look-back", true, Scope::kBatch},
    {"--steps", true, Scope::kBatch},    {"--sequence", true, Scope::kBatch},
    {"--reports", true, Scope::kBatch},  {"--print-level", true, Scope::kBatch},
    {"--views", true, Scope::kBatch},    {"--jobs", true, Scope::kBatch},
    {"-j", true, Scope::kBatch},         {"--no-header", false, Scope::kBatch},
    {"--quiet", false, Scope::kBatch},   {"-q", false, Scope::kBatch},
    {"--field", true, Scope::kBatch},    {"--solutions", false, Scope::kBatch},
    {"--overview", true, Scope::kBatch}, {"-h", false, Scope::kAny},
};

const OptionRule* FindOption(std::string_view name) {
  for (const OptionRule& rule : kOptions) {
    if (rule.name == name) return &rule;
  }
  return nullptr;
}

// Applies one option and its value to `command`; an error names the option.
std::optional<UsageError> Apply(const OptionRule& rule, std::string_view value, Command& command) {
  batch::BatchOptions& batch = command.batch;
  const std::string_view name = rule.name;
  const auto integer = [&](std::int64_t low, std::int64_t high, std::string_view expected,
                           auto& field) -> std::optional<UsageError> {
    const auto parsed = ParseInteger(value, low, high);
    if (!parsed) return Refuse(name, value, expected);
    field = static_cast<std::remove_reference_t<decltype(field)>>(*parsed);
    return std::nullopt;
  };
  const auto folder = [&](std::optional<std::string>& field) -> std::optional<UsageError> {
    if (!IsUsableName(value)) {
      return Refuse(name, value, "a folder name, not empty and without tabs, CR or LF");
    }
    field = std::string(value);
    return std::nullopt;
  };
  if (name == "-C") return folder(command.directory);
  if (name == "--view") {
    if (!IsUsableName(value)) {
      return Refuse(name, value, "a file name, not empty and without tabs, CR or LF");
    }
    command.view = std::string(value);
    return std::nullopt;
  }
  if (name == "--look-back") return integer(1, kMax32, "an integer of 1 or more", batch.lookBack);
  if (name == "--steps") return integer(5, 100, "an integer from 5 to 100", batch.steps);
  if (name == "--print-level") return integer(kMin32, kMax32, "an integer", batch.printLevel);
  if (name == "--jobs" || name == "-j") {
    return integer(0, 1024, "an integer from 0 to 1024", batch.jobs);
  }
  if (name == "--reports") return folder(batch.reportsDir);
  if (name == "--views") return folder(batch.viewsDir);
  if (name == "--sequence") {
    if (value.empty() || value.size() > 100 ||
        value.find_first_not_of("1234") != std::string_view::npos) {
      return Refuse(name, value, "1 to 100 technique codes, each 1 to 4");
    }
    batch.sequence = std::string(value);
    return std::nullopt;
  }
  if (name == "--field") {
    // All digits: a field number; a signed number, none; anything else: a name in the header.
    const bool digits = !value.empty() && value.find_first_not_of("0123456789") == value.npos;
    const bool signedNumber = value.size() > 1 && (value[0] == '+' || value[0] == '-') &&
                              value.find_first_not_of("0123456789", 1) == value.npos;
    const auto number = digits ? ParseInteger(value, 1, kMaxField) : std::nullopt;
    if (value.empty() || signedNumber || (digits && !number)) {
      return Refuse(name, value, "a field number from 1 to 4294967295, or a field name");
    }
    batch.field = number ? batch::FieldChoice{static_cast<std::uint32_t>(*number), ""}
                         : batch::FieldChoice{0, std::string(value)};
    return std::nullopt;
  }
  if (name == "--overview") {
    // Standard output holds the rows: the page goes to a file of its own.
    if (!IsUsableName(value) || value == "-") {
      return Refuse(name, value, "a file name other than -, not empty and without tabs, CR or LF");
    }
    batch.overview = std::string(value);
    return std::nullopt;
  }
  if (name == "--solutions") batch.solutions = true;
  if (name == "--no-header") batch.header = false;
  if (name == "--quiet" || name == "-q") batch.quiet = true;
  return std::nullopt;
}

UsageError OnlyWith(std::string_view option, std::string_view with) {
  return {"found option " + Quoted(option) + ", expected it only " + std::string(with)};
}

// The checks that need the whole command line.
std::optional<UsageError> CheckCombination(const Command& command,
                                           const std::vector<std::string>& given) {
  const bool batch = command.mode == Command::Mode::kBatch;
  for (const std::string& option : given) {
    const OptionRule* rule = FindOption(option);
    if (!batch && rule->scope == Scope::kBatch) return OnlyWith(option, "with --batch");
    if (batch && rule->scope == Scope::kClassic) return OnlyWith(option, "without --batch");
    if (option == "--print-level" && !command.batch.reportsDir) {
      return OnlyWith(option, "with --reports");
    }
  }
  const auto& operands = command.batch.operands;
  if (!batch && !operands.empty()) {
    return UsageError{"found argument " + Quoted(operands.front()) +
                      ", expected none, --help or --version"};
  }
  for (const std::string& operand : operands) {
    if (operand != "-" && !IsUsableName(operand)) {
      return UsageError{"found operand " + Quoted(operand) +
                        ", expected a file name, not empty and without tabs, CR or LF"};
    }
  }
  if (std::optional<std::string> clash = batch::OverviewNameClash(command.batch)) {
    return UsageError{std::move(*clash)};
  }
  if (command.batch.reportsDir || command.batch.viewsDir) {
    // Each operand's report files are named after it: two operands may not share a name.
    std::map<std::string, std::string_view> names;
    for (const std::string& operand : operands.empty() ? std::vector<std::string>{"-"} : operands) {
      const auto [at, added] = names.emplace(batch::ReportName(operand), operand);
      if (!added) {
        return UsageError{"found operands " + Quoted(at->second) + " and " + Quoted(operand) +
                          ", expected operands whose report names differ (both are " +
                          Quoted(at->first) + ")"};
      }
    }
  }
  return std::nullopt;
}

}  // namespace

std::variant<Command, UsageError> ParseCommandLine(std::span<const std::string_view> args) {
  Command command;
  std::vector<std::string> given;  // the options given, for the checks at the end
  bool optionsEnded = false;
  for (std::size_t k = 0; k < args.size(); ++k) {
    const std::string_view arg = args[k];
    const bool isOption = !optionsEnded && arg.size() > 1 && arg[0] == '-';
    if (!isOption) {
      command.batch.operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // --name=value, --name value, -C DIR, -CDIR, -j N, -jN.
    std::string_view name = arg;
    std::optional<std::string_view> value;
    if (arg.starts_with("--")) {
      if (const std::size_t eq = arg.find('='); eq != std::string_view::npos) {
        name = arg.substr(0, eq);
        value = arg.substr(eq + 1);
      }
    } else if (arg.size() > 2) {
      name = arg.substr(0, 2);
      value = arg.substr(2);
    }
    const OptionRule* rule = FindOption(name);
    if (rule == nullptr) {
      return UsageError{"found option " + Quoted(arg) + ", expected one that --help lists"};
    }
    if (!rule->takesValue && value) {
      return UsageError{"found option " + Quoted(arg) + ", expected " + std::string(name) +
                        " without a value"};
    }
    if (rule->takesValue && !value) {
      if (k + 1 == args.size()) {
        return UsageError{std::string(name) + ": found the end of the arguments, expected a value"};
      }
      value = args[++k];
    }
    if (name == "--help" || name == "-h" || name == "--version") {
      command.mode = name == "--version" ? Command::Mode::kVersion : Command::Mode::kHelp;
      return command;
    }
    if (name == "--batch") command.mode = Command::Mode::kBatch;
    if (auto error = Apply(*rule, value.value_or(""), command)) return *error;
    given.emplace_back(name);
  }
  if (auto error = CheckCombination(command, given)) return *error;
  return command;
}

}  // namespace tarvik::cli
