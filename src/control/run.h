// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "control/run_summary.h"
#include "report/report.h"
#include "state/puzzle_state.h"
#include "system/exit_status.h"
#include "system/files.h"
#include "system/same_file.h"
#include "system/sinks.h"

namespace tarvik {

// Works the puzzle read into `st` from start to finish, writing the report: the search-sequence
// echo (file only, print level 3), the attempts, each ended by the guess logic or by an outcome,
// and the finish sequence (final grid and file banner). One flat loop: every restart is a further
// iteration, never a deeper call.
RunSummary Solve(PuzzleState& st, Report& report);

// Runs with lower step limits than a run's, read off that run. Such a run works the same steps,
// attempts and guesses as the longer one until an attempt of both passes its limit unsolved, where
// it ends with the step limit; a run that never does ends as the longer one does.
class ShorterLimits {
 public:
  virtual ~ShorterLimits() = default;
  // The lower limits, ascending, each from 5 and below the run's NSTEPS.
  virtual std::span<const std::int32_t> Limits() const = 0;
  // The run with limit Limits()[k] ends here, with `summary`, S its final grid.
  virtual void Ended(std::size_t k, const RunSummary& summary, const PuzzleState& st) = 0;
};

// Solve, telling `shorter` where each of its runs ends (not at all for those that end as this).
// Their reports are not this one's: the report is the longer run's alone.
RunSummary Solve(PuzzleState& st, Report& report, ShorterLimits& shorter);

// Reads Sudin.txt into `st`, and the file it is into `inputId`; on refusal says why on `errors` and
// returns the exit status.
std::optional<ExitStatus> ReadInput(Files& files, PuzzleState& st, std::optional<FileId>& inputId,
                                    std::ostream& errors);

// Opens the report file `name` without emptying it, refuses it if it is one of `others` (a link to
// the input, say), and locks it, waiting with a message while another run holds it. Says what went
// wrong on `errors` and returns null when it cannot be used.
std::unique_ptr<OutputFile> OpenReportFile(Files& files, const std::string& name,
                                           std::span<const TakenFile> others, std::ostream& errors);

// A file written beside the report, from the puzzle as read (the page of the run, say). Its bytes
// are made before any file is touched; it is opened, checked and locked as Sudout.txt is, and
// written after the report's last line.
struct ExtraFile {
  std::string name;
  std::function<std::string(const PuzzleState&)> contents;
};

// The report files of a run, open, locked and empty.
struct ReportFiles {
  std::unique_ptr<OutputFile> file;   // Sudout.txt
  std::unique_ptr<OutputFile> extra;  // the extra file, when there is one
  bool consoleIsFile = false;         // standard output is Sudout.txt itself
};

// Opens Sudout.txt and the `extra` file, if any, as OpenReportFile does, neither of them the input
// `inputId` nor the other, and empties both once both are accepted. Says what went wrong on
// `errors` and returns nothing when either cannot be used.
std::optional<ReportFiles> OpenReportFiles(Files& files, std::optional<FileId> inputId,
                                           const ExtraFile* extra, std::ostream& errors);

// A whole run: reads Sudin.txt, refuses it with a message on `errors` or opens Sudout.txt (and the
// extra file, if any), solves and writes the report to `console` and the file. Returns the exit
// status.
ExitStatus Run(Files& files, Sink& console, std::ostream& errors, const ExtraFile* extra = nullptr);

}  // namespace tarvik
