// SPDX-License-Identifier: MIT
#include "cli/command_line.h"

#include <map>

#include "batch/rows.h"
#include "cli/options.h"
#include "system/quoting.h"

namespace tarvik::cli {
namespace {

using Parsed = std::variant<Command, UsageError>;

// An option that stood on the command line, and its name as given there.
struct Found {
  const Option* option;
  std::string name;
};

UsageError OnlyWith(std::string_view option, std::string_view with) {
  return {"found option " + Quoted(option) + ", expected it only " + std::string(with)};
}

// The checks that need the whole command line.
std::optional<UsageError> CheckCombination(const Command& command,
                                           const std::vector<Found>& found) {
  const bool batch = command.mode == Command::Mode::kBatch;
  for (const auto& [option, name] : found) {
    if (!batch && option->scope == Scope::kBatch) return OnlyWith(name, "with --batch");
    if (batch && option->scope == Scope::kClassic) return OnlyWith(name, "without --batch");
    if (option->name == "--print-level" && !command.batch.reportsDir) {
      return OnlyWith(name, "with --reports");
    }
  }
  for (const batch::FieldChoice& kept : command.batch.keep) {
    const std::string head = batch::KeptHead(kept);
    for (const std::string_view own : batch::kRowFieldNames) {
      const bool present = (own != "set" || command.batch.lists.Count() > 1) &&
                           (own != "solutions" || command.batch.solutions) &&
                           (own != "answer" || command.batch.answers);
      if (present && head == own) {
        return UsageError{"--keep: found " + Quoted(head) +
                          ", expected a name other than the row's own fields"};
      }
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

// Reads the arguments one after the other, applying each option where it stands.
class Parser {
 public:
  explicit Parser(std::span<const std::string_view> args) : args_(args) {}

  Parsed Run() {
    bool optionsEnded = false;
    for (; at_ < args_.size(); ++at_) {
      const std::string_view arg = args_[at_];
      if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
        command_.batch.operands.emplace_back(arg);
      } else if (arg == "--") {
        optionsEnded = true;
      } else if (auto error = arg[1] == '-' ? ReadLong(arg) : ReadGroup(arg)) {
        return *error;
      } else if (Answered()) {
        return command_;
      }
    }
    if (auto error = CheckCombination(command_, found_)) return *error;
    return command_;
  }

 private:
  // --help and --version are acted on where they stand.
  bool Answered() const {
    return command_.mode == Command::Mode::kHelp || command_.mode == Command::Mode::kVersion;
  }

  // --name, --name=value or --name value.
  std::optional<UsageError> ReadLong(std::string_view arg) {
    const std::size_t eq = arg.find('=');
    const std::string_view name = arg.substr(0, eq);
    const Option* option = FindLong(name);
    if (option == nullptr) {
      return UsageError{"found option " + Quoted(arg) + ", expected one that --help lists"};
    }
    if (eq == std::string_view::npos) return Use(*option, name, std::nullopt);
    if (!option->TakesValue()) {
      return UsageError{"found option " + Quoted(arg) + ", expected " + std::string(name) +
                        " without a value"};
    }
    return Use(*option, name, arg.substr(eq + 1));
  }

  // Short options behind one '-' (-q, -qj2, -qj 2, -CDIR): one that takes a value ends the
  // group, with the rest of the argument or else the next argument as its value.
  std::optional<UsageError> ReadGroup(std::string_view arg) {
    for (std::size_t k = 1; k < arg.size() && !Answered(); ++k) {
      const std::string name{'-', arg[k]};
      const Option* option = FindShort(arg[k]);
      if (option == nullptr) {
        return UsageError{"found option " + Quoted(name) +
                          (arg.size() > 2 ? " in " + Quoted(arg) : std::string()) +
                          ", expected one that --help lists"};
      }
      if (option->TakesValue()) {
        const bool attached = k + 1 < arg.size();
        return Use(*option, name, attached ? std::optional(arg.substr(k + 1)) : std::nullopt);
      }
      if (auto error = Use(*option, name, std::nullopt)) return error;
    }
    return std::nullopt;
  }

  // Applies `option`, taking the next argument as its value where it needs one and has none.
  std::optional<UsageError> Use(const Option& option, std::string_view name,
                                std::optional<std::string_view> value) {
    if (option.ValueOptional() && !value) {
      found_.push_back({&option, std::string(name)});
      return option.handler({name, "", false}, command_);
    }
    if (option.TakesValue() && !value) {
      if (at_ + 1 == args_.size()) {
        return UsageError{std::string(name) + ": found the end of the arguments, expected a value"};
      }
      value = args_[++at_];
    }
    found_.push_back({&option, std::string(name)});
    return option.handler({name, value.value_or("")}, command_);
  }

  std::span<const std::string_view> args_;
  std::size_t at_ = 0;
  Command command_;
  std::vector<Found> found_;
};

}  // namespace

std::variant<Command, UsageError> ParseCommandLine(std::span<const std::string_view> args) {
  return Parser(args).Run();
}

}  // namespace tarvik::cli
