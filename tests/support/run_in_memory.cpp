// SPDX-License-Identifier: MIT
#include "support/run_in_memory.h"

#include <sstream>

#include "cli/entry.h"
#include "control/run.h"
#include "system/host.h"

namespace tarvik::testing {
namespace {

RunResult Collect(ExitStatus status, MemoryFiles& files, const StringSink& console,
                  const std::ostringstream& errors) {
  RunResult result;
  result.status = status;
  result.console = console.text();
  result.file = files.files["Sudout.txt"];
  result.errors = errors.str();
  result.fileOpened = files.opened.contains("Sudout.txt");
  return result;
}

}  // namespace

RunResult RunClassic(MemoryFiles& files, Sink* console) {
  StringSink captured;
  std::ostringstream errors;
  const ExitStatus status = Run(files, console ? *console : captured, errors);
  return Collect(status, files, captured, errors);
}

RunResult RunClassic(std::string_view input) {
  MemoryFiles files;
  files.files["Sudin.txt"] = std::string(input);
  return RunClassic(files);
}

RunResult RunProgram(const std::vector<std::string>& args, MemoryFiles& files, Sink* console) {
  StringSink captured;
  std::ostringstream errors;
  const std::vector<std::string_view> views(args.begin(), args.end());
  Host host{files, console ? *console : captured, errors};
  const ExitStatus status = cli::Main(views, host);
  return Collect(status, files, captured, errors);
}

}  // namespace tarvik::testing
