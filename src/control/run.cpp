#include "control/run.h"

#include <ostream>

#include "control/attempt_loop.h"
#include "control/guessing.h"
#include "control/input_reader.h"

namespace tarvik {

void Solve(PuzzleState& st, Report& report) {
  st.LEVEL = 0;
  st.NSTART = 0;
  if (st.IPRINT >= 3) {
    report.WRITELINE(Report::Channel::kFile, LineKind::SEARCHSEQUENCE,
                     std::span<const std::int32_t>(st.SEQ.data.data(),
                                                   static_cast<std::size_t>(st.NSTEPS)));
  }
  SETSTART(st);
  for (;;) {
    StartAttempt(st, report);
    if (RunSteps(st, report) != AttemptOutcome::kStalled) break;
    if (GuessAfterStall(st, report) == GuessOutcome::kGiveUp) break;
  }
  report.PRINTMATRIX(st);
  report.REPORTLINE(LineKind::FILEBANNER);
}

ExitStatus Run(RunFiles& files, Sink& console, std::ostream& errors) {
  PuzzleState st;
  {
    std::error_code error;
    const std::unique_ptr<Source> input = files.OpenInput(error);
    if (!input) {
      errors << "tarvik: Sudin.txt: " << error.message() << '\n';
      return ExitStatus::kNoInput;
    }
    if (const auto refusal = ReadPuzzleFile(*input, st)) {
      errors << "tarvik: Sudin.txt:";
      if (refusal->line > 0) errors << refusal->line << ':';
      errors << ' ' << refusal->message << '\n';
      return refusal->status;
    }
  }  // the input is closed before the output is created

  std::error_code error;
  const std::unique_ptr<Sink> file = files.CreateOutput(error);
  if (!file) {
    errors << "tarvik: Sudout.txt: " << error.message() << '\n';
    return ExitStatus::kCantCreate;
  }
  Report report(console, *file);
  Solve(st, report);
  const Report::Failures failures = report.Finish();
  if (failures.console) {
    errors << "tarvik: write error on standard output: " << failures.console.message() << '\n';
  }
  if (failures.file) {
    errors << "tarvik: write error on Sudout.txt: " << failures.file.message() << '\n';
  }
  return failures.console || failures.file ? ExitStatus::kIoError : ExitStatus::kSuccess;
}

}  // namespace tarvik
