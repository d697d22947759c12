// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/batch_status.h"
#include "batch/grading.h"
#include "batch/job.h"
#include "batch/rows.h"
#include "system/exit_status.h"
#include "system/files.h"
#include "system/same_file.h"

namespace tarvik::batch {

// What a worker does with one line: grades it, writes its report file and page when asked for,
// and formats its row (or a refused line's row and message).
class LineWork {
 public:
  // `sources` are the operands as given, `names` their report names.
  LineWork(const BatchOptions& options, Files& files, const std::vector<std::string>& sources,
           const std::vector<std::string>& names, const std::vector<TakenFile>& taken);

  // The parts a sweep's line is worked in: each set when files are written, else each group of
  // sets that differ in their steps alone. 0 for a line worked whole: without a sweep, and a
  // refused line.
  std::size_t PartsOf(const PuzzleLine& line) const {
    return line.refusal || sets_ == 1 ? 0 : writesFiles_ ? sets_ : groups_.size();
  }
  // The most sets a part holds.
  std::size_t SetsPerPart() const {
    return sets_ == 1 || writesFiles_ ? 1 : sets_ / groups_.size();
  }
  // The line's solutions when they are asked for: 0, 1 or 2 (two or more).
  std::optional<int> SolutionsOf(const PuzzleLine& line) const;

  // Why the line's work (or the part's) could not be done, if it could not; the batch stops
  // before that line. Throws std::bad_alloc when memory runs out.
  std::optional<Failure> Do(Job& job) const;

 private:
  // Works a part of a sweep's line, whose solutions are counted already.
  std::optional<Failure> DoPart(Job& job) const;
  // Grades the line under `parameters`, set `set` (from 0) of the sweep, writing its files.
  std::optional<Failure> GradeWithFiles(Job& job, const RunParameters& parameters, std::size_t set,
                                        Grade& grade) const;
  // A new file to replace `name` when committed; null and a failure when it cannot be made, or
  // when `name` is one of the taken files.
  std::unique_ptr<ReplacementFile> Create(const std::string& name,
                                          std::optional<Failure>& failure) const;

  const BatchOptions& options_;
  Files& files_;
  const std::vector<std::string>& sources_;
  const std::vector<std::string>& names_;
  const std::vector<TakenFile>& taken_;
  const RunParameters parameters_;  // the print level 0 without report files
  const RowLayout layout_;
  std::vector<std::string> encodedSources_;  // each operand as its rows' source field

  // The sets of a sweep that differ in their steps alone: one run at the most steps gives the
  // others' grades, when no files are written.
  struct StepGroup {
    RunParameters longest;
    std::size_t longestSet = 0;
    std::vector<std::int32_t> limits;  // the other sets' steps, ascending
    std::vector<std::size_t> limitSets;
  };
  // Grades the puzzle once for all the group's sets: the longest's grade, and the others' in
  // `shorter`.
  static Grade GradeGroup(const StepGroup& group, const Grid& start, std::vector<Grade>& shorter);

  const std::size_t sets_;           // 1 without a sweep
  const bool writesFiles_;           // report files or pages are written
  std::vector<std::string> labels_;  // each set's label, as EncodedText gives it
  std::vector<StepGroup> groups_;
};

}  // namespace tarvik::batch
