// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "batch/batch_status.h"
#include "batch/collection_source.h"
#include "batch/job.h"
#include "batch/line_reader.h"
#include "batch/line_work.h"
#include "batch/ordered_pool.h"
#include "batch/overview_pages.h"
#include "batch/progress.h"
#include "batch/rows.h"
#include "system/diagnostics.h"
#include "system/quoting.h"

namespace tarvik::batch {
namespace {

constexpr std::size_t kOutputBytes = std::size_t{1} << 15;  // rows written at a time, at most

// Hands the pool its idle hook before the reader waits for more input, so that the rows written
// so far never wait behind an input that is slow to come.
class IdleAwareSource final : public Source {
 public:
  IdleAwareSource(Source& source, OrderedPool<Job>& pool) : source_(source), pool_(pool) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    pool_.Idle();
    const std::size_t n = source_.Read(buffer, size, error);
    pool_.Busy();
    return n;
  }

 private:
  Source& source_;
  OrderedPool<Job>& pool_;
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

  // On a worker: works the line; a failure stops the batch before it.
  void Process(Job& job, std::uint64_t place);
  // In input order: the row to standard output, a refused line's message to standard error.
  void Deliver(Job& job);
  // In input order: what the job brings to the counts of its operand and of the batch.
  void Count(const Job& job);
  // Writes `message`, which gives `status`, to standard error in the place of the progress line.
  void WriteMessage(ExitStatus status, std::string_view message);
  void WriteOutput();

  // Stops the batch with `status` and `message` (a whole message line, or none), unless it has
  // stopped already.
  void Fail(ExitStatus status, std::string_view message);

  const BatchOptions& options_;
  Host& host_;
  std::vector<std::string> sources_;  // the operands as given, "-" for standard input
  std::vector<std::string> names_;    // the report name of each operand
  std::vector<TakenFile> taken_;      // what no report file or page may replace
  std::vector<std::uint64_t> sizes_;  // of each operand, 0 when not known
  LineWork work_;

  // Standard error, the status and the progress line, from any thread.
  std::mutex errorsMutex_;
  BatchStatus status_;
  bool failed_ = false;
  Progress progress_;

  std::uint64_t inputSize_ = 0;  // of all inputs, for progress; 0 when not known

  // The page of the whole batch, when asked for; told by the thread delivering.
  OverviewPages pages_;

  // Owned by the thread delivering.
  std::string output_;
  std::vector<FileTally> files_;  // each operand's counts, for the summary
  LineCounts totals_;
  std::uint64_t delivered_ = 0;  // rows
  std::uint64_t nextPlace_ = 0;  // the place of the next job to deliver, rows or not
  bool consoleFailed_ = false;

  const unsigned threads_;
  OrderedPool<Job> pool_;
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
      threads_(ThreadsFor(options, host)),
      // Enough lines in flight to keep every thread busy however uneven the puzzles are, and a
      // fixed bound on memory whatever the input's size.
      pool_(
          threads_, std::clamp<std::size_t>(std::size_t{64} * threads_, 256, 16384),
          [this](Job& job, std::uint64_t place) { Process(job, place); },
          [this](Job& job) { Deliver(job); }, [this] { WriteOutput(); }) {
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
}

ExitStatus Batch::Run() {
  if (const std::optional<Failure> refused = Prepare()) {
    host_.errors << refused->message;
    return refused->status;
  }
  if (options_.header) output_ += RowsHeader(RowLayout::Of(options_));

  for (std::size_t operand = 0; operand < sources_.size() && !pool_.stopped(); ++operand) {
    ReadOperand(operand);
  }
  pool_.Finish();

  // The rows before a failing line still go out, unless standard output itself failed.
  if (!consoleFailed_) WriteOutput();
  // The page of a batch that stopped would show part of it: none is written.
  if (const std::optional<Failure> failure = failed_ ? std::nullopt : pages_.Write()) {
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
  if (!options_.quiet && !failed_) progress_.Summarize(totals_, files_);
#ifdef TARVIK_LOCK_COUNTER
  SayLockHeld(host_.errors, pool_.lockCounter(), delivered_);
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
    if (!pool_.Submit([&](Job& job) {
          job.SetLine(operand, std::move(*line));
          job.inputEnd = before + end;
        })) {
      return;
    }
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
  if (input.id && input.id == host_.files.ConsoleId()) {
    Refuse(operand, "is the same file as standard output");
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
  if (const std::optional<Failure> failure = work_.Do(job)) {
    pool_.StopBefore(place);
    Fail(failure->status, failure->message);
  }
}

void Batch::Deliver(Job& job) {
  // A row must only ever carry its own line's result: stop rather than print another's.
  if (job.place != nextPlace_++) {
    pool_.Stop();
    Fail(ExitStatus::kSoftware,
         Message("internal error: the line in flight at place " + std::to_string(nextPlace_ - 1) +
                 " holds another's result"));
    return;
  }
  pages_.Tell(job);
  Count(job);
  if (job.operandEnd) return;
  if (job.notice) {
    WriteMessage(*job.notice, job.message);
    return;
  }
  output_ += job.row;
  if (!job.outcome) WriteMessage(ExitStatus::kDataError, job.message);
  // A bad answer is told once for each FILE: its first.
  if (job.answer == AnswerCheck::kBad &&
      files_[job.operand].counts.answers[static_cast<std::size_t>(AnswerCheck::kBad)] == 1) {
    WriteMessage(ExitStatus::kDataError, job.message);
  }
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
  }
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
  Fail(ExitStatus::kIoError, quiet ? std::string() : WriteErrorMessage("standard output", error));
}

void Batch::Fail(ExitStatus status, std::string_view message) {
  {
    const std::lock_guard lock(errorsMutex_);
    if (failed_) return;
    failed_ = true;
    status_.Set(status);
    progress_.Erase();
    host_.errors << message;
  }
  // The reader need not wait for more input that will not be read.
  host_.files.CancelReads();
}

}  // namespace

ExitStatus RunBatch(const BatchOptions& options, Host& host) {
  try {
    Batch batch(options, host);
    return batch.Run();
  } catch (const std::bad_alloc&) {
    host.errors << kOutOfMemory;
    return ExitStatus::kOsError;
  }
}

}  // namespace tarvik::batch
