// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "batch/batch_status.h"
#include "batch/collection_source.h"
#include "batch/job.h"
#include "batch/line_reader.h"
#include "batch/line_work.h"
#include "batch/lock_counter.h"
#include "batch/ordered_pool.h"
#include "batch/overview_pages.h"
#include "batch/progress.h"
#include "batch/rows.h"
#include "system/diagnostics.h"
#include "system/quoting.h"
#include "view/sweep_tally.h"

#ifdef TARVIK_LOCK_COUNTER
#include "batch/lock_counter.h"
#endif

namespace tarvik::batch {
namespace {

constexpr std::size_t kOutputBytes = std::size_t{1} << 15;  // rows written at a time, at most

// The pool's lock: one that counts how it is held in the lock counter's benchmark build of this
// file (bench/CMakeLists.txt), a plain mutex everywhere else.
#ifdef TARVIK_LOCK_COUNTER
using PoolMutex = CountingMutex;
#else
using PoolMutex = std::mutex;
#endif
using Pool = OrderedPool<Job, PoolMutex>;

// Hands the pool its idle hook before the reader waits for more input, so that the rows written
// so far never wait behind an input that is slow to come.
class IdleAwareSource final : public Source {
 public:
  IdleAwareSource(Source& source, Pool& pool) : source_(source), pool_(pool) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    pool_.Idle();
    const std::size_t n = source_.Read(buffer, size, error);
    pool_.Busy();
    return n;
  }

 private:
  Source& source_;
  Pool& pool_;
};

// Why a batch stopped early.
struct Stop {
  std::uint64_t place = 0;  // of the item that failed
  ExitStatus status = ExitStatus::kSuccess;
  std::string message;  // none with kOsError: out of memory
};

// The reader (the calling thread) feeds lines to the pool, whose workers work them; the rows come
// out in input order through Deliver, run by one thread at a time.
class Batch {
 public:
  Batch(const BatchOptions& options, Host& host);
  ExitStatus Run();

 private:
  // Makes the folders asked for and opens the --overview FILE, before any input is read.
  std::optional<Failure> Prepare();
  void ReadOperand(std::size_t operand);
  // The operand opened for reading; none, when it is refused.
  OpenedInput OpenOperand(std::size_t operand);
  // After the last line of the operand: its end, for the batch's page, and why the reader stopped
  // early, if it did.
  void EndOperand(std::size_t operand, const LineReader& reader);
  // Says that the operand is not read, and why.
  void Refuse(std::size_t operand, std::string_view reason);
  // Says `message`, which gives `status`, after the messages of the lines read so far; `notRead`
  // when the operand gave no row at all, for `reason`.
  void Notify(std::size_t operand, ExitStatus status, bool notRead, std::string_view reason,
              std::string message);

  // On a worker: works the line; a failure, out of memory included, stops the batch before it.
  void Process(Job& job, std::uint64_t place);
  // In input order: the row to standard output, a refused line's message to standard error.
  void Deliver(Job& job);
  void DeliverLine(Job& job);
  // A part of a sweep's line into line_; the whole line once its last part is in.
  void DeliverPart(Job& job);
  // Whether the job is the one whose place is next; stops the batch if it is not.
  bool InPlace(const Job& job);
  // In input order: what the job brings to the counts of its operand and of the batch.
  void Count(const Job& job);
  // The summary on standard error; in a sweep, of its best set.
  void Summarize();
  // Writes `message`, which gives `status`, to standard error in the place of the progress line.
  void WriteMessage(ExitStatus status, std::string_view message);
  void WriteOutput();
  void TryWriteOutput();

  // Stops the batch at the item in `place` with `status` and `message` (a whole message line, or
  // none), unless it stopped at an earlier item already: the message is the earliest line's.
  // Allocates nothing, so that it serves when memory ran out.
  void Fail(std::uint64_t place, ExitStatus status, std::string&& message);
  void FailOutOfMemory(std::uint64_t place) { Fail(place, ExitStatus::kOsError, {}); }

  const BatchOptions& options_;
  Host& host_;
  std::vector<std::string> sources_;  // the operands as given, "-" for standard input
  std::vector<std::string> names_;    // the report name of each operand
  std::vector<TakenFile> taken_;      // what no report file or page may replace
  std::vector<std::uint64_t> sizes_;  // of each operand, 0 when not known
  LineWork work_;

  // Standard error, the status, the progress line and why the batch stopped, from any thread.
  std::mutex errorsMutex_;
  BatchStatus status_;
  Progress progress_;
  std::optional<Stop> stop_;  // written after the rows before it

  std::uint64_t inputSize_ = 0;  // of all inputs, for progress; 0 when not known
  // Owned by the reader: the parts of the line being handed over that are in the pool already.
  std::uint64_t partsAdded_ = 0;

  // The page of the whole batch, when asked for; told by the thread delivering.
  OverviewPages pages_;

  // Owned by the thread delivering.
  std::string output_;
  std::vector<FileTally> files_;  // each operand's counts, for the summary
  LineCounts totals_;
  // In a sweep, each set's counts (of operand f at f * sets + k) and steps, whose best set's
  // counts the summary gives in the place of the first set's in files_ and totals_.
  const std::size_t sets_;
  std::vector<LineCounts> setFiles_;
  std::vector<LineCounts> setTotals_;
  std::vector<std::int64_t> setSteps_;
  std::uint64_t delivered_ = 0;  // rows
  std::uint64_t nextPlace_ = 0;  // the place of the next job to deliver, rows or not
  bool consoleFailed_ = false;
  // The parts of a sweep's line delivered so far, put together: every set's result in set order.
  Job line_;

  const unsigned threads_;
  Pool pool_;
};

// The threads asked for, as many as the open-file limit allows: each may hold a report file and a
// page at once, beside the few files of the batch itself.
unsigned ThreadsFor(const BatchOptions& options, const Host& host) {
  const unsigned asked = options.jobs == 0 ? host.processors : options.jobs;
  if (!options.reportsDir && !options.viewsDir) return asked;
  constexpr std::uint64_t kOwnFiles = 16;
  const std::uint64_t allowed =
      host.openFiles > kOwnFiles + 2 ? (host.openFiles - kOwnFiles) / 2 : 1;
  return static_cast<unsigned>(std::min<std::uint64_t>(asked, allowed));
}

Batch::Batch(const BatchOptions& options, Host& host)
    : options_(options),
      host_(host),
      sources_(options.operands.empty() ? std::vector<std::string>{"-"} : options.operands),
      work_(options, host.files, sources_, names_, taken_),
      // The rows on a terminal are the progress.
      progress_(host.errors, host.errorsIsTerminal && !host.consoleIsTerminal && !options.quiet,
                host.plainTerminal, options.solutions, options.answers.has_value()),
      pages_(options, host.files, sources_, names_),
      sets_(options.lists.Count()),
      threads_(ThreadsFor(options, host)),
      // Enough lines (or parts of a sweep's lines) in flight to keep every thread busy however
      // uneven the puzzles are, and a fixed bound on memory whatever the input's size; a part that
      // holds a row for each of several sets counts for as many, down to two a thread.
      pool_(
          threads_,
          std::max<std::size_t>(std::size_t{2} * threads_,
                                std::clamp<std::size_t>(std::size_t{64} * threads_, 256, 16384) /
                                    work_.SetsPerPart()),
          [this](Job& job, std::uint64_t place) { Process(job, place); },
          [this](Job& job) { Deliver(job); }, [this] { TryWriteOutput(); }) {
  for (const std::string& source : sources_) {
    names_.push_back(ReportName(source));
    files_.push_back({files_.size(), source, {}, {}});
  }
  if (const std::optional<FileId> console = host.files.ConsoleId()) {
    taken_.push_back({"standard output", *console});
  }
  bool sized = true;
  for (const std::string& source : sources_) {
    OpenedInput standardInput;
    if (source == "-") standardInput = host.files.StandardInput();
    const std::optional<FileId> id = source == "-" ? standardInput.id : host.files.IdOf(source);
    if (id) taken_.push_back({"the input " + Named(source), *id});
    const std::optional<std::uint64_t> size =
        source == "-" ? standardInput.size : host.files.SizeOf(source);
    sizes_.push_back(size.value_or(0));
    sized = sized && size.has_value();
  }
  // A share of the input read only when all of it is in regular files.
  if (sized) {
    for (const std::uint64_t size : sizes_) inputSize_ += size;
  }
  output_.reserve(kOutputBytes + 4096);
  if (sets_ > 1) {
    setFiles_.resize(sources_.size() * sets_);
    setTotals_.resize(sets_);
    setSteps_.resize(sets_);
  }
}

ExitStatus Batch::Run() {
  if (const std::optional<Failure> refused = Prepare()) {
    host_.errors << refused->message;
    return refused->status;
  }
  if (options_.header) output_ += RowsHeader(RowLayout::Of(options_));

  try {
    for (std::size_t operand = 0; operand < sources_.size() && !pool_.stopped(); ++operand) {
      ReadOperand(operand);
    }
  } catch (const std::bad_alloc&) {
    // On reading: every line handed over before stays, none of the parts of the one being read.
    const std::uint64_t reading = pool_.added() - partsAdded_;
    pool_.StopBefore(reading);
    FailOutOfMemory(reading);
  }
  pool_.Finish();

  // The rows before a failing line still go out, unless standard output itself failed; then the
  // message of the failure.
  if (!consoleFailed_) TryWriteOutput();
  if (stop_) {
    const std::lock_guard lock(errorsMutex_);
    status_.Set(stop_->status);
    progress_.Erase();
    host_.errors << (stop_->status == ExitStatus::kOsError ? kOutOfMemory : stop_->message);
  }
  // The page of a batch that stopped would show part of it: none is written.
  if (const std::optional<Failure> failure = stop_ ? std::nullopt : pages_.Write(setFiles_)) {
    const std::lock_guard lock(errorsMutex_);
    status_.Set(failure->status);
    host_.errors << failure->message;
  }
  const std::error_code closed = host_.console.Close();
  const std::lock_guard lock(errorsMutex_);
  if (closed && !consoleFailed_) {
    status_.writeFailed = true;
    progress_.Erase();
    SayWriteError(host_.errors, "standard output", closed);
  }
  progress_.Erase();
  if (!options_.quiet && !stop_) Summarize();
#ifdef TARVIK_LOCK_COUNTER
  SayLockHeld(host_.errors, pool_.mutex(), delivered_);
#endif
  return status_.Final();
}

std::optional<Failure> Batch::Prepare() {
  for (const auto& dir : {options_.reportsDir, options_.viewsDir}) {
    if (!dir) continue;
    if (const std::error_code error = host_.files.MakeDirectory(*dir)) {
      return Failure{ExitStatus::kCantCreate, Message(Named(*dir), error.message())};
    }
  }
  return pages_.Open(taken_);
}

void Batch::ReadOperand(std::size_t operand) {
  const OpenedInput input = OpenOperand(operand);
  if (!input.source) return;
  std::uint64_t before = 0;  // the bytes of the inputs before this one
  for (std::size_t k = 0; k < operand; ++k) before += sizes_[k];
  IdleAwareSource idleAware(*input.source, pool_);
  const OpenedCollection collection = OpenCollection(idleAware, sources_[operand] == "-");
  if (collection.refusal) {
    Refuse(operand, *collection.refusal);
    return;
  }
  LineReader reader(*collection.input, options_.field, {options_.keep, options_.answers});
  for (;;) {
    std::optional<PuzzleLine> line = reader.Next();
    if (!line) break;
    // Compressed bytes for compressed input, as its size counts them: the share of those read
    // so far that the text up to the line's end took.
    const std::uint64_t text = reader.bytesRead();
    const std::uint64_t raw = collection.input->rawBytesRead();
    const std::uint64_t end =
        text == raw || text == 0
            ? reader.lineEnd()
            : static_cast<std::uint64_t>(static_cast<double>(raw) *
                                         static_cast<double>(reader.lineEnd()) /
                                         static_cast<double>(text));
    const std::size_t parts = work_.PartsOf(*line);
    if (parts == 0) {
      if (!pool_.Submit([&](Job& job) {
            job.SetLine(operand, std::move(*line));
            job.inputEnd = before + end;
          })) {
        return;
      }
      continue;
    }
    // Counted once here, for every part's rows: cheap beside a run of the puzzle.
    const std::optional<int> solutions = work_.SolutionsOf(*line);
    for (std::size_t part = 0; part < parts; ++part) {
      if (!pool_.Submit([&](Job& job) {
            job.SetLine(operand, part + 1 < parts ? PuzzleLine(*line) : std::move(*line), part,
                        parts);
            job.solutions = solutions;
            job.inputEnd = before + end;
          })) {
        return;
      }
      ++partsAdded_;
    }
    partsAdded_ = 0;
  }
  EndOperand(operand, reader);
}

OpenedInput Batch::OpenOperand(std::size_t operand) {
  const std::string& name = sources_[operand];
  OpenedInput input;
  if (name == "-") {
    input = host_.files.StandardInput();
  } else {
    std::error_code error;
    input = host_.files.OpenInput(name, error);
    if (!input.source) {
      Refuse(operand, error.message());
      return {};
    }
  }
  // Rows written to the input itself would be read again, and again.
  const TakenFile console[] = {{"standard output", host_.files.ConsoleId()}};
  if (const std::optional<std::string> same = SameFileAs(input.id, console)) {
    Refuse(operand, *same);
    return {};
  }
  return input;
}

void Batch::EndOperand(std::size_t operand, const LineReader& reader) {
  pool_.Submit([&](Job& job) { job.SetOperandEnd(operand, reader.linesRead()); });
  if (reader.error()) {
    Refuse(operand, reader.error().message());
  } else if (const std::optional<InputRefusal>& refusal = reader.refusal()) {
    // A header without the field asked for, or damaged compressed data: the rows before stand.
    std::string where = Named(sources_[operand]);
    if (refusal->line != 0) where.append(":").append(std::to_string(refusal->line));
    Notify(operand, ExitStatus::kDataError, refusal->wholeFile, refusal->message,
           Message(where, refusal->message));
  }
}

void Batch::Refuse(std::size_t operand, std::string_view reason) {
  Notify(operand, ExitStatus::kNoInput, true, reason, Message(Named(sources_[operand]), reason));
}

void Batch::Notify(std::size_t operand, ExitStatus status, bool notRead, std::string_view reason,
                   std::string message) {
  pool_.Submit(
      [&](Job& job) { job.SetNotice(operand, status, notRead, reason, std::move(message)); });
}

void Batch::Process(Job& job, std::uint64_t place) {
  job.place = place;
  std::optional<Failure> failure;
  try {
    failure = work_.Do(job);
  } catch (const std::bad_alloc&) {
    pool_.StopBefore(place);
    FailOutOfMemory(place);
    return;
  }
  if (failure) {
    pool_.StopBefore(place);
    Fail(place, failure->status, std::move(failure->message));
  }
}

void Batch::Deliver(Job& job) {
  try {
    if (job.parts == 0) {
      DeliverLine(job);
    } else {
      DeliverPart(job);
    }
  } catch (const std::bad_alloc&) {
    // The line's row is out, and the next place counted, only once nothing of its delivery but
    // the progress line can fail any more.
    const std::uint64_t failing = nextPlace_;
    pool_.StopBefore(failing);
    FailOutOfMemory(failing);
  }
}

bool Batch::InPlace(const Job& job) {
  // A row must only ever carry its own line's result: stop rather than print another's.
  if (job.place == nextPlace_) return true;
  pool_.Stop();
  Fail(nextPlace_, ExitStatus::kSoftware,
       Message("internal error: the line in flight at place " + std::to_string(nextPlace_) +
               " holds another's result"));
  ++nextPlace_;
  return false;
}

void Batch::DeliverPart(Job& job) {
  if (!InPlace(job)) return;
  if (job.part == 0) {
    line_.operand = job.operand;
    std::swap(line_.line, job.line);
    line_.solutions = job.solutions;
    line_.message.clear();
    line_.sets.resize(sets_);
  }
  for (Job::SetResult& result : job.sets) std::swap(line_.sets[result.set], result);
  line_.message += job.message;
  if (job.part + 1 < job.parts) {
    ++nextPlace_;
    return;
  }
  line_.row.clear();
  for (const Job::SetResult& result : line_.sets) line_.row += result.row;
  const Job::SetResult& first = line_.sets.front();
  line_.outcome = first.outcome;
  line_.run = first.run;
  line_.answer = first.answer;
  line_.inputEnd = job.inputEnd;
  line_.place = job.place;
  DeliverLine(line_);
}

void Batch::DeliverLine(Job& job) {
  if (!InPlace(job)) return;
  pages_.Tell(job);
  Count(job);
  if (job.operandEnd || job.notice) {
    if (job.notice) WriteMessage(*job.notice, job.message);
    ++nextPlace_;
    return;
  }
  if (!job.outcome) WriteMessage(ExitStatus::kDataError, job.message);
  // A bad answer is told once for each FILE: its first.
  if (job.answer == AnswerCheck::kBad &&
      files_[job.operand].counts.answers[static_cast<std::size_t>(AnswerCheck::kBad)] == 1) {
    WriteMessage(ExitStatus::kDataError, job.message);
  }
  output_ += job.row;
  ++nextPlace_;
  ++delivered_;
  if (output_.size() >= kOutputBytes) WriteOutput();
  // Looked at every 64 rows: the clock is cheap, but not free.
  if ((delivered_ & 63) == 0) {
    const std::lock_guard lock(errorsMutex_);
    progress_.Update(delivered_, job.inputEnd, inputSize_);
  }
}

void Batch::Count(const Job& job) {
  FileTally& file = files_[job.operand];
  if (job.operandEnd) {
    file.counts.linesRead += *job.operandEnd;
    totals_.linesRead += *job.operandEnd;
  } else if (job.notice) {
    if (job.notRead) file.notRead = job.reason;
  } else {
    file.counts.Count(job.outcome, job.solutions, job.answer);
    totals_.Count(job.outcome, job.solutions, job.answer);
    if (sets_ == 1) return;
    for (std::size_t k = 0; k < sets_; ++k) {
      std::optional<Outcome> outcome;
      std::optional<AnswerCheck> answer;
      if (!job.sets.empty()) {
        outcome = job.sets[k].outcome;
        answer = job.sets[k].answer;
        setSteps_[k] += job.sets[k].run.steps;
      }
      setFiles_[job.operand * sets_ + k].Count(outcome, job.solutions, answer);
      setTotals_[k].Count(outcome, job.solutions, answer);
    }
  }
}

void Batch::Summarize() {
  if (sets_ == 1) {
    progress_.Summarize(totals_, files_);
    return;
  }
  std::size_t best = 0;
  constexpr auto kSolved = static_cast<std::size_t>(Outcome::kSolved);
  for (std::size_t k = 1; k < sets_; ++k) {
    if (view::RanksBefore({setTotals_[k].outcomes[kSolved], setSteps_[k], k},
                          {setTotals_[best].outcomes[kSolved], setSteps_[best], best})) {
      best = k;
    }
  }
  LineCounts totals = setTotals_[best];
  totals.linesRead = totals_.linesRead;
  std::vector<FileTally> files = files_;
  for (FileTally& file : files) {
    const std::int64_t lines = file.counts.linesRead;
    file.counts = setFiles_[file.operand * sets_ + best];
    file.counts.linesRead = lines;
  }
  progress_.SummarizeSweep(sets_,
                           "set " + std::to_string(best + 1) + ": " + options_.lists.Label(best),
                           totals, setSteps_[best]);
  progress_.Summarize(totals, files);
}

void Batch::WriteMessage(ExitStatus status, std::string_view message) {
  const std::lock_guard lock(errorsMutex_);
  status_.Set(status);
  progress_.Erase();
  host_.errors << message;
}

void Batch::WriteOutput() {
  if (output_.empty()) return;
  const std::error_code error = host_.console.Write(output_);
  output_.clear();
  if (!error) return;
  consoleFailed_ = true;
  pool_.Stop();
  // A reader that has gone, as with head: nothing is lost that was asked for, unless files or the
  // batch's page are being written, which are now left unwritten.
  const bool quiet = error == std::errc::broken_pipe && !options_.reportsDir &&
                     !options_.viewsDir && !options_.overview;
  Fail(nextPlace_, ExitStatus::kIoError,
       quiet ? std::string() : WriteErrorMessage("standard output", error));
}

// The pool's pause hook, and the last write: the message of a failed write may need memory.
void Batch::TryWriteOutput() {
  try {
    WriteOutput();
  } catch (const std::bad_alloc&) {
    FailOutOfMemory(nextPlace_);
  }
}

void Batch::Fail(std::uint64_t place, ExitStatus status, std::string&& message) {
  {
    const std::lock_guard lock(errorsMutex_);
    if (stop_ && stop_->place <= place) return;
    stop_.emplace();
    stop_->place = place;
    stop_->status = status;
    stop_->message.swap(message);
  }
  // The reader need not wait for more input that will not be read.
  host_.files.CancelReads();
}

}  // namespace

// Memory that runs out before the lines are read, or after the rows are written, is cli::Main's.
ExitStatus RunBatch(const BatchOptions& options, Host& host) {
  // Before the pool starts its threads, which must not take the signals.
  if (options.reportsDir || options.viewsDir || options.overview) {
    host.files.RemoveReplacementsOnSignals();
  }
  Batch batch(options, host);
  return batch.Run();
}

}  // namespace tarvik::batch
