// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "support/memory_files.h"
#include "system/exit_status.h"
#include "system/sinks.h"

namespace tarvik::testing {

// What a run in memory returned and what each channel got.
struct RunResult {
  ExitStatus status = ExitStatus::kSuccess;
  std::string console;  // standard output, or what a failing console took before it failed
  std::string file;     // Sudout.txt
  std::string errors;   // standard error
  bool fileOpened = false;
};

// The classic run on `files` (Sudin.txt and Sudout.txt in it); the console is captured, or is
// `console` when given.
RunResult RunClassic(MemoryFiles& files, Sink* console = nullptr);
// The same with Sudin.txt holding `input`.
RunResult RunClassic(std::string_view input);

// The whole program, arguments and all, on `files`.
RunResult RunProgram(const std::vector<std::string>& args, MemoryFiles& files,
                     Sink* console = nullptr);

}  // namespace tarvik::testing
