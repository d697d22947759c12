// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "batch/batch_options.h"
#include "batch/batch_status.h"
#include "batch/job.h"
#include "batch/line_work.h"
#include "system/files.h"
#include "view/batch_tally.h"
#include "view/sweep_tally.h"

namespace tarvik::batch {

// The page of the whole batch, when asked for: the --overview FILE and DIR/index.html of --views.
// Its tally is fed the jobs in input order by the thread delivering; the page is written once, at
// the end of a batch that ran to its end.
class OverviewPages {
 public:
  // `sources` are the operands as given, `names` their report names.
  OverviewPages(const BatchOptions& options, Files& files, const std::vector<std::string>& sources,
                const std::vector<std::string>& names);

  // Opens the --overview FILE, before any input is read (a FIFO waits for the page), and checks
  // that neither page is one of `taken` or a file that the batch writes besides; why not, when
  // one of them cannot be written.
  std::optional<Failure> Open(const std::vector<TakenFile>& taken);
  // Hands a delivered job to the tally: a row, a FILE not read, or the end of a FILE.
  void Tell(const Job& job);
  // Writes the page to the --overview FILE, then to DIR/index.html; why not, at the first that
  // cannot be written. In a sweep, `setFiles` are each set's counts of each FILE, operand f's of
  // set k at f * sets + k.
  std::optional<Failure> Write(std::span<const LineCounts> setFiles = {});

 private:
  void TellRow(const Job& job);
  void TellSweep(const Job& job);
  std::optional<Failure> OpenOverview(const std::vector<TakenFile>& taken);

  const BatchOptions& options_;
  Files& files_;
  const std::vector<std::string>& sources_;
  const std::vector<std::string>& names_;
  std::optional<view::BatchTally> tally_;
  std::optional<view::SweepTally> sweep_;  // instead of tally_, with two parameter sets or more
  std::vector<view::SetRun> runs_;         // of the row under way
  std::unique_ptr<ReplacementFile> replacement_;
  std::unique_ptr<OutputFile> inPlace_;  // a device, a FIFO or a link's target, as it is
  std::optional<bool> fifo_;             // a FIFO to open when the page is written: through a link?
  std::string pageName_;                 // the page of the row under way
};

}  // namespace tarvik::batch
