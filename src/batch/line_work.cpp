// SPDX-License-Identifier: MIT
#include "batch/line_work.h"

#include <new>

#include "batch/rows.h"
#include "control/quoting.h"
#include "exact/exact_solver.h"
#include "report/report.h"
#include "view/run_page.h"
#include "view/run_recorder.h"

namespace tarvik::batch {
namespace {

// A report file or page that could not be made, or not put in its place.
WorkFailure NotCreated(const std::string& name, std::error_code error) {
  return WorkFailure{ExitStatus::kCantCreate, "tarvik: " + Named(name) + ": " + error.message()};
}

}  // namespace

LineWork::LineWork(const BatchOptions& options, Files& files,
                   const std::vector<std::string>& sources, const std::vector<std::string>& names,
                   const std::vector<TakenFile>& taken)
    : options_(options),
      files_(files),
      sources_(sources),
      names_(names),
      taken_(taken),
      parameters_(ParametersOf(options)) {}

std::optional<WorkFailure> LineWork::Do(Job& job) const {
  if (job.notice || job.operandEnd) return std::nullopt;
  const std::string& source = sources_[job.operand];
  job.row.clear();
  job.message.clear();
  job.outcome.reset();
  job.solutions.reset();
  try {
    if (job.line.refusal) {
      AppendRefusedRow(job.row, source, job.line.line, options_.solutions);
      job.message.append("tarvik: ")
          .append(Named(source))
          .append(":")
          .append(std::to_string(job.line.line))
          .append(": ")
          .append(*job.line.refusal)
          .append("\n");
      return std::nullopt;
    }
    if (options_.solutions) {
      exact::Cells cells{};
      for (std::size_t k = 0; k < cells.size(); ++k) {
        cells[k] = static_cast<std::uint8_t>(job.line.digits[k] - '0');
      }
      job.solutions = static_cast<int>(exact::CountSolutions(cells));
    }
    Grade grade;
    if (!options_.reportsDir && !options_.viewsDir) {
      PuzzleState st = StateFor(job.line.start, parameters_);
      grade = GradePuzzle(st);
    } else if (auto failure = GradeWithFiles(job, grade)) {
      return failure;
    }
    job.outcome = grade.summary.outcome;
    job.run = grade.summary;
    AppendRow(job.row, source, job.line, grade, job.solutions);
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    return WorkFailure{ExitStatus::kOsError, "tarvik: out of memory"};
  }
}

std::optional<WorkFailure> LineWork::GradeWithFiles(Job& job, Grade& grade) const {
  PuzzleState st = StateFor(job.line.start, parameters_);
  const std::string stem = names_[job.operand] + "-" + std::to_string(job.line.line);
  std::optional<WorkFailure> failure;
  const auto writeError = [](const std::string& name, std::error_code error) {
    return WorkFailure{ExitStatus::kIoError,
                       "tarvik: write error on " + Named(name) + ": " + error.message()};
  };
  if (options_.viewsDir) {
    view::RunRecorder recorder;
    const RunSummary summary = view::RecordRun(st, recorder);
    grade = {summary, recorder.summary().empty, recorder.summary().finalGrid};
    const std::string fileLine = sources_[job.operand] + ":" + std::to_string(job.line.line);
    const std::string page =
        view::RenderPage(st, recorder, sources_[job.operand],
                         view::BatchPlace{fileLine, "index.html", job.solutions});
    const std::string name = *options_.viewsDir + "/" + stem + ".html";
    const std::unique_ptr<ReplacementFile> file = Create(name, failure);
    if (!file) return failure;
    if (const std::error_code error = file->Write(page)) return writeError(name, error);
    if (const std::error_code error = file->Commit()) return NotCreated(name, error);
  }
  if (!options_.reportsDir) return std::nullopt;
  const std::string name = *options_.reportsDir + "/" + stem + ".txt";
  const std::unique_ptr<ReplacementFile> file = Create(name, failure);
  if (!file) return failure;
  // The console copy of a report file goes nowhere; the file gets the bytes of Sudout.txt.
  NullSink nowhere;
  Report report(nowhere, *file);
  grade = GradePuzzle(st, report);
  if (const std::error_code error = report.Finish().file) return writeError(name, error);
  if (const std::error_code error = file->Commit()) return NotCreated(name, error);
  return std::nullopt;
}

std::unique_ptr<ReplacementFile> LineWork::Create(const std::string& name,
                                                  std::optional<WorkFailure>& failure) const {
  if (const std::optional<FileId> id = files_.EntryIdOf(name)) {
    for (const TakenFile& taken : taken_) {
      if (taken.id == *id) {
        failure = WorkFailure{ExitStatus::kCantCreate,
                              "tarvik: " + Named(name) + ": is the same file as " + taken.what};
        return nullptr;
      }
    }
  }
  std::error_code error;
  std::unique_ptr<ReplacementFile> file = files_.CreateReplacement(name, error);
  if (!file) failure = NotCreated(name, error);
  return file;
}

}  // namespace tarvik::batch
