// SPDX-License-Identifier: MIT
#include "web/text_run.h"

#include <sstream>

#include "control/run.h"
#include "report/report.h"
#include "view/run_page.h"
#include "web/text_files.h"

namespace tarvik::web {

TextRun RunText(std::string_view sudin) {
  TextRun run;
  InputOnlyFiles files(sudin);
  std::optional<FileId> inputId;
  std::ostringstream errors;
  if (const auto refused = ReadInput(files, run.input, inputId, errors)) {
    run.status = *refused;
    run.errors = errors.str();
    return run;
  }
  // The sinks keep everything, so the report cannot fail.
  TextSink console;
  TextSink file;
  PuzzleState st = run.input;
  Report report(console, file);
  run.outcome = Solve(st, report).outcome;
  report.Finish();
  run.console = std::move(console.text());
  run.file = std::move(file.text());
  return run;
}

std::string PageOf(const PuzzleState& input) { return view::RenderRunPage(input, {}); }

}  // namespace tarvik::web
