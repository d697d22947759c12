// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "cli/command_line.h"

namespace tarvik::cli {

// The modes an option is accepted in.
enum class Scope { kAny, kClassic, kBatch };

// An option as it stands on the command line: its name as given (-j or --jobs) and its value.
struct Given {
  std::string_view name;
  std::string_view value;
  bool valued = true;  // a value was given; only an optional value may be missing
};

// One option: the one place it is described. The parser applies it through its handler, --help
// is written from it, and a test holds the manual and the bash completion to it.
struct Option {
  // Applies the value to `command`; a refusal names the option as given.
  using Handler = std::optional<UsageError> (*)(const Given& given, Command& command);

  std::string_view name;  // the long form, "--jobs", or "" where there is none
  char letter;            // the short form's letter, 'j' for -j, or 0
  // What --help calls the value ("N", "DIR"), in brackets where it may be left out ("[FIELD]":
  // then only --name=VALUE gives it), or "" where none is taken.
  std::string_view value;
  Scope scope;
  std::string_view help;  // --help's lines for it, split at '\n'; "" where it has no line there
  Handler handler;

  bool TakesValue() const { return !value.empty(); }
  bool ValueOptional() const { return value.starts_with('['); }
  // -C DIR, --view=FILE, -j, --jobs=N: the left column of --help.
  std::string Label() const;
};

// Every option, in the order --help lists them.
std::span<const Option> Options();

// The option of that long name (with its dashes) or short letter, or null.
const Option* FindLong(std::string_view name);
const Option* FindShort(char letter);

// A name of a file or folder: not empty, and nothing that would split a message or a row.
bool IsUsableName(std::string_view name);

// The option lines of --help for the batch mode's options (`batch`) or the others.
std::string OptionLines(bool batch);

}  // namespace tarvik::cli
