// SPDX-License-Identifier: MIT
#include "batch/line_work.h"

#include <algorithm>

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
      layout_(RowLayout::Of(options)),
      sets_(options.lists.Count()),
      writesFiles_(options.reportsDir || options.viewsDir) {
  for (const std::string& source : sources) {
    encodedSources_.push_back(EncodedText(layout_.format, source));
  }
  if (sets_ == 1) return;
  for (std::size_t k = 0; k < sets_; ++k) {
    labels_.push_back(EncodedText(layout_.format, options.lists.Label(k)));
  }
  // Set k is (look-back, steps, sequence) at k = (l * steps + s) * sequences + q.
  const ParameterLists& lists = options.lists;
  const std::size_t steps = lists.steps.size();
  const std::size_t sequences = lists.sequences.size();
  for (std::size_t l = 0; l < lists.lookBacks.size(); ++l) {
    for (std::size_t q = 0; q < sequences; ++q) {
      std::vector<std::size_t> order(steps);
      for (std::size_t s = 0; s < steps; ++s) order[s] = s;
      std::sort(order.begin(), order.end(),
                [&](std::size_t a, std::size_t b) { return lists.steps[a] < lists.steps[b]; });
      StepGroup group;
      group.longestSet = (l * steps + order.back()) * sequences + q;
      group.longest = lists.Set(group.longestSet, parameters_);
      for (std::size_t s = 0; s + 1 < steps; ++s) {
        group.limits.push_back(lists.steps[order[s]]);
        group.limitSets.push_back((l * steps + order[s]) * sequences + q);
      }
      groups_.push_back(std::move(group));
    }
  }
}

std::optional<int> LineWork::SolutionsOf(const PuzzleLine& line) const {
  if (!options_.solutions || line.refusal) return std::nullopt;
  exact::Cells cells{};
  for (std::size_t k = 0; k < cells.size(); ++k) {
    cells[k] = static_cast<std::uint8_t>(line.digits[k] - '0');
  }
  return static_cast<int>(exact::CountSolutions(cells));
}

std::optional<Failure> LineWork::Do(Job& job) const {
  if (job.notice || job.operandEnd) return std::nullopt;
  if (job.parts > 0) return DoPart(job);
  const std::string& source = sources_[job.operand];
  job.row.clear();
  job.message.clear();
  job.outcome.reset();
  job.solutions.reset();
  job.answer.reset();
  job.sets.clear();
  // Memory that runs out is the caller's to catch: it stops the batch at this line.
  if (job.line.refusal) {
    AppendRefusedRow(job.row, layout_, encodedSources_[job.operand], job.line);
    AppendMessage(job.message, Named(source) + ":" + std::to_string(job.line.line),
                  *job.line.refusal);
    return std::nullopt;
  }
  job.solutions = SolutionsOf(job.line);
  Grade grade;
  if (writesFiles_) {
    if (auto failure = GradeWithFiles(job, parameters_, 0, grade)) return failure;
  } else {
    PuzzleState st = StateFor(job.line.start, parameters_);
    grade = GradePuzzle(st);
  }
  if (options_.answers) job.answer = CheckAnswer(job.line, grade, job.solutions);
  AppendRow(job.row, layout_, encodedSources_[job.operand], job.line, grade,
            {std::string_view(), job.solutions, job.answer});
  job.outcome = grade.summary.outcome;
  job.run = grade.summary;
  if (job.answer == AnswerCheck::kBad) {
    AppendMessage(job.message, Named(source) + ":" + std::to_string(job.line.line),
                  BadAnswer(job.line));
  }
  return std::nullopt;
}

std::optional<Failure> LineWork::DoPart(Job& job) const {
  job.row.clear();
  job.message.clear();
  job.outcome.reset();
  job.answer.reset();
  // The part's sets and grades: one set with files, else a step group.
  std::vector<Grade> grades(1);
  std::vector<std::size_t> sets(1, job.part);
  if (writesFiles_) {
    const RunParameters parameters = options_.lists.Set(job.part, parameters_);
    if (auto failure = GradeWithFiles(job, parameters, job.part, grades.front())) return failure;
  } else {
    const StepGroup& group = groups_[job.part];
    std::vector<Grade> shorter(group.limits.size());
    grades.front() = GradeGroup(group, job.line.start, shorter);
    sets.front() = group.longestSet;
    grades.insert(grades.end(), shorter.begin(), shorter.end());
    sets.insert(sets.end(), group.limitSets.begin(), group.limitSets.end());
  }
  // The slots' rows keep their buffers from one line to the next.
  job.sets.resize(grades.size());
  for (std::size_t k = 0; k < grades.size(); ++k) {
    const Grade& grade = grades[k];
    Job::SetResult& result = job.sets[k];
    result.outcome = grade.summary.outcome;
    result.run = grade.summary;
    result.answer.reset();
    if (options_.answers) result.answer = CheckAnswer(job.line, grade, job.solutions);
    result.set = sets[k];
    result.row.clear();
    AppendRow(result.row, layout_, encodedSources_[job.operand], job.line, grade,
              {labels_[sets[k]], job.solutions, result.answer});
    // Whether the answer is bad is the line's alone: told with the first set.
    if (sets[k] == 0 && result.answer == AnswerCheck::kBad) {
      AppendMessage(job.message, Named(sources_[job.operand]) + ":" + std::to_string(job.line.line),
                    BadAnswer(job.line));
    }
  }
  return std::nullopt;
}

Grade LineWork::GradeGroup(const StepGroup& group, const Grid& start, std::vector<Grade>& shorter) {
  PuzzleState st = StateFor(start, group.longest);
  return GradePuzzle(st, group.limits, shorter);
}

std::optional<Failure> LineWork::GradeWithFiles(Job& job, const RunParameters& parameters,
                                                std::size_t set, Grade& grade) const {
  const PuzzleState input = StateFor(job.line.start, parameters);
  std::string stem = names_[job.operand] + "-" + std::to_string(job.line.line);
  if (sets_ > 1) stem.append("-").append(std::to_string(set + 1));
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
    const std::string setName =
        sets_ > 1 ? "set " + std::to_string(set + 1) + ": " + options_.lists.Label(set) : "";
    const std::string page =
        view::RenderPage(input, *recorder, sources_[job.operand],
                         view::BatchPlace{fileLine, "index.html", job.solutions, setName});
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
