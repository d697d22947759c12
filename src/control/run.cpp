// SPDX-License-Identifier: MIT
#include "control/run.h"

#include <algorithm>
#include <ostream>
#include <span>
#include <string>
#include <system_error>

#include "control/attempt_loop.h"
#include "control/guessing.h"
#include "control/input_reader.h"
#include "control/install_layout.h"

namespace tarvik {

RunSummary Solve(PuzzleState& st, Report& report) {
  RunSummary summary;
  st.LEVEL = 0;
  st.NSTART = 0;
  if (st.IPRINT >= 3) {
    report.WRITELINE(
        Report::Channel::kFile, LineKind::SEARCHSEQUENCE,
        std::span<const std::int32_t>(st.SEQ.data.data(), static_cast<std::size_t>(st.NSTEPS)));
  }
  SETSTART(st);
  for (;;) {
    StartAttempt(st, report);
    ++summary.attempts;
    summary.depth = std::max(summary.depth, st.LEVEL);
    const AttemptOutcome attempt = RunSteps(st, report);
    summary.steps += st.STEP;
    if (attempt != AttemptOutcome::kStalled) {
      summary.outcome = attempt == AttemptOutcome::kSolved ? Outcome::kSolved : Outcome::kStepLimit;
      break;
    }
    if (GuessAfterStall(st, report) == GuessOutcome::kGiveUp) {
      summary.outcome = st.unproven == 1 ? Outcome::kNoFurtherGuesses : Outcome::kNoSolution;
      break;
    }
  }
  report.PRINTMATRIX(st);
  report.REPORTLINE(LineKind::FILEBANNER);
  return summary;
}

namespace {

// Hands writes on to a sink chosen after the report was made, so that everything the run needs is
// allocated before Sudout.txt is opened.
class LaterSink final : public Sink {
 public:
  void Attach(Sink& target) { target_ = &target; }
  std::error_code Write(std::string_view bytes) override { return target_->Write(bytes); }
  std::error_code Close() override { return target_->Close(); }

 private:
  Sink* target_ = nullptr;
};

}  // namespace

std::optional<ExitStatus> ReadInput(Files& files, PuzzleState& st, std::optional<FileId>& inputId,
                                    std::ostream& errors) {
  std::error_code error;
  OpenedInput input = files.OpenInput("Sudin.txt", error);
  if (!input.source) {
    errors << "tarvik: Sudin.txt: " << error.message() << '\n';
    if (error == std::errc::no_such_file_or_directory) {
      errors << "tarvik: for an example, see examples/Sudin.txt in the source tree or "
             << kInstalledExample << " once installed\n";
    }
    return ExitStatus::kNoInput;
  }
  if (const auto refusal = ReadPuzzleFile(*input.source, st)) {
    errors << "tarvik: Sudin.txt:";
    if (refusal->line > 0) errors << refusal->line << ':';
    errors << ' ' << refusal->message << '\n';
    return refusal->status;
  }
  inputId = input.id;
  return std::nullopt;
}  // the input is closed before the output is opened

std::unique_ptr<OutputFile> OpenReportFile(Files& files, const std::string& name,
                                           std::span<const NamedFile> others,
                                           std::ostream& errors) {
  std::error_code error;
  std::unique_ptr<OutputFile> file = files.OpenOutput(name, error);
  if (!file) {
    errors << "tarvik: " << name << ": " << error.message() << '\n';
    return nullptr;
  }
  if (const std::optional<FileId> id = file->Id()) {
    for (const NamedFile& other : others) {
      if (other.id == id) {
        errors << "tarvik: " << name << ": is the same file as " << other.name << '\n';
        return nullptr;
      }
    }
  }
  if (file->TryLock(error) == OutputFile::Lock::kBusy) {
    errors << "tarvik: " << name << ": waiting for another run to finish" << std::endl;
    if ((error = file->WaitLock())) {
      errors << "tarvik: " << name << ": " << error.message() << '\n';
      return nullptr;
    }
  }
  return file;
}

ExitStatus Run(Files& files, Sink& console, std::ostream& errors, const ExtraFile* extra) {
  PuzzleState st;
  std::optional<FileId> inputId;
  if (const auto refused = ReadInput(files, st, inputId, errors)) return *refused;

  // Everything the run needs is made now, before Sudout.txt is touched.
  const std::string extraBytes = extra != nullptr ? extra->contents(st) : std::string();
  LaterSink consoleSink;
  LaterSink fileSink;
  NullSink dropped;  // the console when it is Sudout.txt itself: the file's copy is written
  Report report(consoleSink, fileSink);

  const std::optional<FileId> consoleId = files.ConsoleId();
  const NamedFile input{"Sudin.txt", inputId};
  const std::unique_ptr<OutputFile> file = OpenReportFile(files, "Sudout.txt", {&input, 1}, errors);
  if (!file) return ExitStatus::kCantCreate;
  std::unique_ptr<OutputFile> extraFile;
  if (extra != nullptr) {
    const NamedFile taken[] = {input, {"Sudout.txt", file->Id()}, {"standard output", consoleId}};
    extraFile = OpenReportFile(files, extra->name, taken, errors);
    if (!extraFile) return ExitStatus::kCantCreate;
  }
  const bool consoleIsFile = consoleId && consoleId == file->Id();
  consoleSink.Attach(consoleIsFile ? static_cast<Sink&>(dropped) : console);
  fileSink.Attach(*file);
  // Both files are emptied only once both are accepted.
  const auto empty = [&](OutputFile& output, std::string_view name) {
    const std::error_code error = output.Truncate();
    if (error) errors << "tarvik: " << name << ": " << error.message() << '\n';
    return !error;
  };
  if (!empty(*file, "Sudout.txt") || (extraFile && !empty(*extraFile, extra->name))) {
    return ExitStatus::kCantCreate;
  }
  if (consoleIsFile) {
    errors << "tarvik: standard output is Sudout.txt: the report is written once\n";
  }

  Solve(st, report);
  const Report::Failures failures = report.Finish();
  std::error_code extraError;
  if (extraFile) {
    extraError = extraFile->Write(extraBytes);
    const std::error_code closed = extraFile->Close();
    if (!extraError) extraError = closed;
  }
  if (failures.console) {
    errors << "tarvik: write error on standard output: " << failures.console.message() << '\n';
  }
  if (failures.file) {
    errors << "tarvik: write error on Sudout.txt: " << failures.file.message() << '\n';
  }
  if (extraError) {
    errors << "tarvik: write error on " << extra->name << ": " << extraError.message() << '\n';
  }
  return failures.console || failures.file || extraError ? ExitStatus::kIoError
                                                         : ExitStatus::kSuccess;
}

}  // namespace tarvik
