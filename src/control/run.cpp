// SPDX-License-Identifier: MIT
#include "control/run.h"

#include <algorithm>
#include <array>
#include <ostream>
#include <span>
#include <string>
#include <system_error>

#include "control/attempt_loop.h"
#include "control/guessing.h"
#include "control/input_reader.h"
#include "control/install_layout.h"
#include "system/diagnostics.h"
#include "system/quoting.h"

namespace tarvik {

namespace {

// The shorter runs not ended yet, and the next step at which one would end.
class Pauses {
 public:
  explicit Pauses(ShorterLimits* shorter) : shorter_(shorter) {}
  // The first limit after `step` of a run not ended, 0 for none.
  int After(int step) const {
    if (shorter_ == nullptr) return 0;
    const std::span<const std::int32_t> limits = shorter_->Limits();
    for (std::size_t k = 0; k < limits.size(); ++k) {
      if (!ended_[k] && limits[k] > step) return limits[k];
    }
    return 0;
  }
  // The run whose limit is `step` ends there.
  void End(int step, const RunSummary& summary, const PuzzleState& st) {
    const std::span<const std::int32_t> limits = shorter_->Limits();
    for (std::size_t k = 0; k < limits.size(); ++k) {
      if (limits[k] != step) continue;
      ended_[k] = true;
      shorter_->Ended(k, summary, st);
    }
  }

 private:
  ShorterLimits* shorter_;
  std::array<bool, 101> ended_{};  // limits are at most 100, so at most 96 lie below a run's
};

RunSummary SolveWith(PuzzleState& st, Report& report, ShorterLimits* shorter) {
  Pauses pauses(shorter);
  RunSummary summary;
  st.LEVEL = 0;
  st.NSTART = 0;
  if (Prints(st.IPRINT, LineKind::SEARCHSEQUENCE)) {
    report.WRITELINE(
        Report::Channel::kFile, LineKind::SEARCHSEQUENCE,
        std::span<const std::int32_t>(st.SEQ.data.data(), static_cast<std::size_t>(st.NSTEPS)));
  }
  SETSTART(st);
  for (;;) {
    StartAttempt(st, report);
    ++summary.attempts;
    summary.depth = std::max(summary.depth, st.LEVEL);
    AttemptOutcome attempt = RunSteps(st, report, pauses.After(0));
    while (attempt == AttemptOutcome::kPaused) {
      RunSummary ended = summary;
      ended.outcome = Outcome::kStepLimit;
      ended.steps += st.STEP;
      pauses.End(st.STEP, ended, st);
      attempt = ResumeSteps(st, report, pauses.After(st.STEP));
    }
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
  report.PRINTMATRIX(st);  // the final grid, at every level
  if (Prints(st.IPRINT, LineKind::FILEBANNER)) report.REPORTLINE(LineKind::FILEBANNER);
  return summary;
}

}  // namespace

RunSummary Solve(PuzzleState& st, Report& report) { return SolveWith(st, report, nullptr); }

RunSummary Solve(PuzzleState& st, Report& report, ShorterLimits& shorter) {
  return SolveWith(st, report, &shorter);
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

// Writes `bytes` to `file` and closes it: the first error, if any.
std::error_code WriteWhole(OutputFile& file, std::string_view bytes) {
  const std::error_code error = file.Write(bytes);
  const std::error_code closed = file.Close();
  return error ? error : closed;
}

}  // namespace

std::optional<ExitStatus> ReadInput(Files& files, PuzzleState& st, std::optional<FileId>& inputId,
                                    std::ostream& errors) {
  std::error_code error;
  OpenedInput input = files.OpenInput("Sudin.txt", error);
  if (!input.source) {
    Say(errors, "Sudin.txt", error.message());
    if (error == std::errc::no_such_file_or_directory) {
      Say(errors, "for an example, see examples/Sudin.txt in the source tree or " +
                      std::string(kInstalledExample) + " once installed");
    }
    return ExitStatus::kNoInput;
  }
  if (const auto refusal = ReadPuzzleFile(*input.source, st)) {
    std::string where = "Sudin.txt";
    if (refusal->line > 0) where.append(":").append(std::to_string(refusal->line));
    Say(errors, where, refusal->message);
    return refusal->status;
  }
  inputId = input.id;
  return std::nullopt;
}  // the input is closed before the output is opened

std::unique_ptr<OutputFile> OpenReportFile(Files& files, const std::string& name,
                                           std::span<const TakenFile> others,
                                           std::ostream& errors) {
  std::error_code error;
  std::unique_ptr<OutputFile> file = files.OpenOutput(name, error);
  const std::string shown = Named(name);  // the name as messages show it
  if (!file) {
    Say(errors, shown, error.message());
    return nullptr;
  }
  if (const std::optional<std::string> same = SameFileAs(file->Id(), others)) {
    Say(errors, shown, *same);
    return nullptr;
  }
  if (file->TryLock(error) == OutputFile::Lock::kBusy) {
    Say(errors, shown, "waiting for another run to finish") << std::flush;
    if ((error = file->WaitLock())) {
      Say(errors, shown, error.message());
      return nullptr;
    }
  }
  return file;
}

std::optional<ReportFiles> OpenReportFiles(Files& files, std::optional<FileId> inputId,
                                           const ExtraFile* extra, std::ostream& errors) {
  ReportFiles opened;
  const std::optional<FileId> consoleId = files.ConsoleId();
  const TakenFile input{"Sudin.txt", inputId};
  opened.file = OpenReportFile(files, "Sudout.txt", {&input, 1}, errors);
  if (!opened.file) return std::nullopt;
  if (extra != nullptr) {
    const TakenFile taken[] = {
        input, {"Sudout.txt", opened.file->Id()}, {"standard output", consoleId}};
    opened.extra = OpenReportFile(files, extra->name, taken, errors);
    if (!opened.extra) return std::nullopt;
  }
  // Both files are emptied only once both are accepted.
  const auto empty = [&](OutputFile& output, std::string_view name) {
    const std::error_code error = output.Truncate();
    if (error) Say(errors, Named(name), error.message());
    return !error;
  };
  if (!empty(*opened.file, "Sudout.txt") || (opened.extra && !empty(*opened.extra, extra->name))) {
    return std::nullopt;
  }
  opened.consoleIsFile = consoleId && consoleId == opened.file->Id();
  if (opened.consoleIsFile) {
    Say(errors, "standard output is Sudout.txt: the report is written once");
  }
  return opened;
}

ExitStatus Run(Files& files, Sink& console, std::ostream& errors, const ExtraFile* extra) {
  PuzzleState st;
  std::optional<FileId> inputId;
  if (const auto refused = ReadInput(files, st, inputId, errors)) return *refused;

  // Everything the run needs is made now, before Sudout.txt is touched.
  const std::string extraBytes = extra != nullptr ? extra->contents(st) : std::string();
  const std::string extraShown = extra != nullptr ? Named(extra->name) : std::string();
  LaterSink consoleSink;
  LaterSink fileSink;
  NullSink dropped;  // the console when it is Sudout.txt itself: the file's copy is written
  Report report(consoleSink, fileSink);

  const std::optional<ReportFiles> opened = OpenReportFiles(files, inputId, extra, errors);
  if (!opened) return ExitStatus::kCantCreate;
  consoleSink.Attach(opened->consoleIsFile ? static_cast<Sink&>(dropped) : console);
  fileSink.Attach(*opened->file);

  Solve(st, report);
  const Report::Failures failures = report.Finish();
  const std::error_code extraError =
      opened->extra ? WriteWhole(*opened->extra, extraBytes) : std::error_code();

  if (failures.console) SayWriteError(errors, "standard output", failures.console);
  if (failures.file) SayWriteError(errors, "Sudout.txt", failures.file);
  if (extraError) SayWriteError(errors, extraShown, extraError);
  return failures.console || failures.file || extraError ? ExitStatus::kIoError
                                                         : ExitStatus::kSuccess;
}

}  // namespace tarvik
