// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "batch/batch_options.h"

namespace tarvik::cli {

// What one invocation is asked to do.
struct Command {
  enum class Mode { kClassic, kBatch, kHelp, kVersion };
  Mode mode = Mode::kClassic;
  std::optional<std::string> directory;  // -C DIR, for the classic run
  std::optional<std::string> view;       // --view=FILE, for the classic run
  batch::BatchOptions batch;
};

// A command line that is refused: the first line of the message, after "tarvik: ".
struct UsageError {
  std::string message;
};

// Reads the arguments (without the program name). The classic run takes none but -C DIR and
// --view=FILE; --batch may stand anywhere and admits the batch options; -- ends the options;
// --help and --version are acted on where they stand.
std::variant<Command, UsageError> ParseCommandLine(std::span<const std::string_view> args);

}  // namespace tarvik::cli
