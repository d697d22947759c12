// SPDX-License-Identifier: MIT
#include "cli/entry.h"

#include <new>
#include <ostream>
#include <string>
#include <variant>

#include "batch/batch.h"
#include "cli/command_line.h"
#include "cli/options.h"
#include "cli/version.h"
#include "control/run.h"
#include "system/diagnostics.h"
#include "system/quoting.h"
#include "view/run_page.h"

namespace tarvik::cli {
namespace {

// The usage around the option lines, which come from the option table.
constexpr std::string_view kUsageStart =
    "Usage: tarvik [-C DIR] [--view=FILE]\n"
    "  or:  tarvik --batch [OPTION]... [FILE]...\n"
    "Works the Sudoku puzzle defined in Sudin.txt in the working directory and\n"
    "writes a report of how it went to standard output and to Sudout.txt.\n"
    "\n"
    "Sudin.txt holds nine grid rows (0 for an empty cell), a line with the print\n"
    "level, the look-back distance and the number of steps (5 to 100), then the\n"
    "search sequence: one technique code per step, 1 rows, 2 columns, 3 boxes,\n"
    "4 single values.\n"
    "Print levels: 0 start and final grid and the outcome; 1 adds the guesses;\n"
    "2 adds every step and every attempt; 3 adds a grid after every step and,\n"
    "in Sudout.txt only, the search sequence.\n"
    "\n";

constexpr std::string_view kUsageBatch =
    "\n"
    "Batch mode grades collections, one puzzle per line, from the FILEs (gzip\n"
    "ones too) or standard input (-), and prints one row per line, tab-separated\n"
    "unless --format says otherwise: source, line, puzzle, outcome, attempts,\n"
    "steps, depth, empty, grid, then the fields the options below add.\n"
    "A puzzle is 81 characters: 1 to 9, or one of 0 . * _ - x X for an empty cell.\n"
    "Fields end at a tab , ; : | or blanks; a first line without digits is a\n"
    "header; lines starting with # are skipped.\n";

constexpr std::string_view kUsageEnd =
    "\n"
    "Exit status:\n"
    "  0   the report was written in full (batch: every line was a puzzle)\n"
    "  64  the command line is wrong\n"
    "  65  Sudin.txt is not a valid puzzle definition (batch: some line was\n"
    "      refused, a FILE's header lacks a NAME of --field, --keep or\n"
    "      --answers, an answer is bad, or compressed data is damaged)\n"
    "  66  Sudin.txt or DIR of -C cannot be read (batch: some FILE cannot be\n"
    "      read, or is compressed with xz, zstd, bzip2 or zip)\n"
    "  70  an internal check failed: a fault of tarvik's own, please report it\n"
    "  71  out of memory\n"
    "  73  Sudout.txt or the page cannot be created (batch: a report folder or\n"
    "      file, or the --overview page)\n"
    "  74  a write to standard output, Sudout.txt or the page failed\n"
    "      (batch: any write, the --overview page's included)\n"
    "\n"
    "Full documentation: man tarvik\n";

constexpr std::string_view kVersion =
    "tarvik " TARVIK_VERSION
    "\n"
    "Copyright (C) 2026 the tarvik developers\n"
    "License MIT: <https://opensource.org/licenses/MIT>\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

std::string MakeUsage() {
  std::string text(kUsageStart);
  text.append(OptionLines(false)).append(kUsageBatch).append(OptionLines(true));
  return text.append(kUsageEnd);
}

// Writes a fixed text to standard output, as a report channel is written.
ExitStatus Print(std::string_view text, Host& host) {
  std::error_code error = host.console.Write(text);
  const std::error_code closed = host.console.Close();
  if (!error) error = closed;
  if (!error) return ExitStatus::kSuccess;
  SayWriteError(host.errors, "standard output", error);
  return ExitStatus::kIoError;
}

ExitStatus RunCommand(const Command& command, Host& host) {
  switch (command.mode) {
    case Command::Mode::kHelp: return Print(UsageText(), host);
    case Command::Mode::kVersion: return Print(kVersion, host);
    case Command::Mode::kBatch: return batch::RunBatch(command.batch, host);
    case Command::Mode::kClassic: break;
  }
  if (command.directory) {
    if (const std::error_code error = host.files.ChangeDirectory(*command.directory)) {
      Say(host.errors, Named(*command.directory), error.message());
      return ExitStatus::kNoInput;
    }
  }
  if (!command.view) return Run(host.files, host.console, host.errors);
  const ExtraFile page{*command.view,
                       [](const PuzzleState& st) { return view::RenderRunPage(st, {}); }};
  return Run(host.files, host.console, host.errors, &page);
}

}  // namespace

std::string_view UsageText() {
  static const std::string text = MakeUsage();
  return text;
}
std::string_view VersionText() { return kVersion; }

ExitStatus Main(std::span<const std::string_view> args, Host& host) {
  try {
    const auto parsed = ParseCommandLine(args);
    if (const auto* refused = std::get_if<UsageError>(&parsed)) {
      Say(host.errors, refused->message)
          << "Try '" << kProgramName << " --help' for more information.\n";
      return ExitStatus::kUsage;
    }
    return RunCommand(std::get<Command>(parsed), host);
  } catch (const std::bad_alloc&) {
    host.errors << kOutOfMemory;
    return ExitStatus::kOsError;
  }
}

}  // namespace tarvik::cli
