// SPDX-License-Identifier: MIT
#include "batch/line_work.h"

#include "batch/answers.h"
#include "batch/rows.h"
#include "exact/exact_solver.h"
#include "report/level_split.h"
#include "report/report.h"
#include "system/diagnostics.h"
#include "system/quoting.h"
#include "view/run_page.h"
#include "view/run_recorder.h"

namespace tarvik::batch {
namespace {

// A report file or page that could not be made, or not put in its place.
Failure NotCreated(const std::string& name, std::error_code error) {
  return Failure{ExitStatus::kCantCreate, Message(Named(name), error.message())};
}

// Works the puzzle once: `text`, if any, gets the report at the batch's print level as the run
// goes, and `recorder`, if any, listens to the same run as a print-level-2 run would write it.
Grade GradeOnce(const PuzzleState& input, Report* text, view::RunRecorder* recorder) {
  if (text == nullptr) {
    const RunSummary summary = view::RecordRun(input, *recorder);
    return {summary, recorder->summary().empty, recorder->summary().finalGrid};
  }
  PuzzleState st = input;
  if (recorder == nullptr) return GradePuzzle(st, *text);
  LevelSplit split(*text, input.IPRINT, *recorder);
  Report both(split);
  st.IPRINT = split.RunLevel();
  return GradePuzzle(st, both);
}

// The parameters of each puzzle's run: no report lines are laid out without report files.
RunParameters WorkedWith(const BatchOptions& options) {
  RunParameters parameters = options;
  if (!options.reportsDir) parameters.printLevel = 0;
  return parameters;
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
      parameters_(WorkedWith(options)),
      layout_(RowLayout::Of(options)) {
  for (const std::string& source : sources) {
    encodedSources_.push_back(EncodedText(layout_.format, source));
  }
}

std::optional<Failure> LineWork::Do(Job& job) const {
  if (job.notice || job.operandEnd) return std::nullopt;
  const std::string& source = sources_[job.operand];
  job.row.clear();
  job.message.clear();
  job.outcome.reset();
  job.solutions.reset();
  job.answer.reset();
  // Memory that runs out is the caller's to catch: it stops the batch at this line.
  if (job.line.refusal) {
    AppendRefusedRow(job.row, layout_, encodedSources_[job.operand], job.line);
    AppendMessage(job.message, Named(source) + ":" + std::to_string(job.line.line),
                  *job.line.refusal);
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
  if (options_.answers) {
    job.answer = CheckAnswer(job.line, grade, job.solutions);
    if (job.answer == AnswerCheck::kBad) {
      AppendMessage(job.message, Named(source) + ":" + std::to_string(job.line.line),
                    BadAnswer(job.line));
    }
  }
  AppendRow(job.row, layout_, encodedSources_[job.operand], job.line, grade,
            {job.solutions, job.answer});
  return std::nullopt;
}

std::optional<Failure> LineWork::GradeWithFiles(Job& job, Grade& grade) const {
  const PuzzleState input = StateFor(job.line.start, parameters_);
  const std::string stem = names_[job.operand] + "-" + std::to_string(job.line.line);
  std::optional<Failure> failure;
  const auto writeError = [](const std::string& name, std::error_code error) {
    return Failure{ExitStatus::kIoError, WriteErrorMessage(Named(name), error)};
  };
  // Both files are made before the run, which writes the report file as it goes.
  std::string pageName;
  std::unique_ptr<ReplacementFile> pageFile;
  if (options_.viewsDir) {
    pageName = *options_.viewsDir + "/" + stem + ".html";
    if (!(pageFile = Create(pageName, failure))) return failure;
  }
  std::string reportName;
  std::unique_ptr<ReplacementFile> reportFile;
  if (options_.reportsDir) {
    reportName = *options_.reportsDir + "/" + stem + ".txt";
    if (!(reportFile = Create(reportName, failure))) return failure;
  }

  std::optional<view::RunRecorder> recorder;
  if (pageFile) recorder.emplace();
  if (!reportFile) {
    grade = GradeOnce(input, nullptr, &*recorder);
  } else {
    // The console copy of a report file goes nowhere; the file gets the bytes of Sudout.txt.
    NullSink nowhere;
    Report text(nowhere, *reportFile);
    grade = GradeOnce(input, &text, recorder ? &*recorder : nullptr);
    if (const std::error_code error = text.Finish().file) return writeError(reportName, error);
  }

  if (pageFile) {
    const std::string fileLine = sources_[job.operand] + ":" + std::to_string(job.line.line);
    const std::string page =
        view::RenderPage(input, *recorder, sources_[job.operand],
                         view::BatchPlace{fileLine, "index.html", job.solutions});
    if (const std::error_code error = pageFile->Write(page)) return writeError(pageName, error);
    if (const std::error_code error = pageFile->Commit()) return NotCreated(pageName, error);
  }
  if (reportFile) {
    if (const std::error_code error = reportFile->Commit()) return NotCreated(reportName, error);
  }
  return std::nullopt;
}

std::unique_ptr<ReplacementFile> LineWork::Create(const std::string& name,
                                                  std::optional<Failure>& failure) const {
  if (const std::optional<std::string> same = SameFileAs(files_.EntryIdOf(name), taken_)) {
    failure = Failure{ExitStatus::kCantCreate, Message(Named(name), *same)};
    return nullptr;
  }
  std::error_code error;
  std::unique_ptr<ReplacementFile> file = files_.CreateReplacement(name, error);
  if (!file) failure = NotCreated(name, error);
  return file;
}

}  // namespace tarvik::batch
