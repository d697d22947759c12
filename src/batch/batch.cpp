// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "batch/collection_source.h"
#include "batch/line_reader.h"
#include "batch/line_work.h"
#include "batch/ordered_pool.h"
#include "batch/progress.h"
#include "batch/rows.h"
#include "control/quoting.h"
#include "system/diagnostics.h"
#include "view/batch_tally.h"
#include "view/overview_page.h"

namespace tarvik::batch {
namespace {

constexpr std::size_t kOutputBytes = std::size_t{1} << 15;  // rows written at a time, at most

// Why the batch stopped early, or why its status is not 0. Kept in the order of precedence.
struct Status {
  bool internalError = false;
  bool outOfMemory = false;
  bool writeFailed = false;
  bool cantCreate = false;
  bool unreadable = false;
  bool refused = false;

  ExitStatus Final() const {
    if (internalError) return ExitStatus::kSoftware;
    if (outOfMemory) return ExitStatus::kOsError;
    if (writeFailed) return ExitStatus::kIoError;
    if (cantCreate) return ExitStatus::kCantCreate;
    if (unreadable) return ExitStatus::kNoInput;
    if (refused) return ExitStatus::kDataError;
    return ExitStatus::kSuccess;
  }
  void Set(ExitStatus status) {
    switch (status) {
      case ExitStatus::kSoftware: internalError = true; break;
      case ExitStatus::kOsError: outOfMemory = true; break;
      case ExitStatus::kIoError: writeFailed = true; break;
      case ExitStatus::kCantCreate: cantCreate = true; break;
      case ExitStatus::kNoInput: unreadable = true; break;
      case ExitStatus::kDataError: refused = true; break;
      default: break;
    }
  }
};

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
  // Opens the --overview FILE, before any input is read; a status when it cannot be.
  std::optional<ExitStatus> OpenOverview();
  // Writes the page of the whole batch to the --overview FILE and DIR/index.html of --views.
  void WriteOverviews();
  void ReadOperand(std::size_t operand);
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
  // Hands the row of `job` to the tally of the batch's page.
  void Tell(view::BatchTally& tally, const Job& job);
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
  std::vector<FileTally> files_;      // each operand's rows (the delivering thread) and lines
  LineWork work_;

  // Standard error, the status and the progress line, from any thread.
  std::mutex errorsMutex_;
  Status status_;
  bool failed_ = false;
  Progress progress_;

  // Known to the reader, read by whoever delivers, for progress: bytes of all inputs.
  std::atomic<std::uint64_t> bytesRead_{0};
  std::uint64_t inputSize_ = 0;  // 0 when not known

  // The page of the whole batch, when asked for: its tally (the thread delivering) and its file.
  std::optional<view::BatchTally> overview_;
  std::unique_ptr<ReplacementFile> overviewReplacement_;
  std::unique_ptr<OutputFile> overviewInPlace_;  // a device or a FIFO is written as it is
  std::string pageName_;                         // the page of the row under way

  // Owned by the thread delivering.
  std::string output_;
  Tally tally_;
  std::uint64_t delivered_ = 0;  // rows
  std::uint64_t nextPlace_ = 0;  // the place of the next job to deliver, rows or not
  bool consoleFailed_ = false;

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
                host.plainTerminal, options.solutions),
      // Enough lines in flight to keep every thread busy however uneven the puzzles are, and a
      // fixed bound on memory whatever the input's size.
      pool_(
          ThreadsFor(options, host),
          std::clamp<std::size_t>(std::size_t{64} * ThreadsFor(options, host), 256, 16384),
          [this](Job& job, std::uint64_t place) { Process(job, place); },
          [this](Job& job) { Deliver(job); }, [this] { WriteOutput(); }) {
  for (const std::string& source : sources_) names_.push_back(ReportName(source));
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
    files_.push_back({Named(source), 0, {}, {}});
  }
  // A share of the input read only when all of it is in regular files.
  if (sized) {
    for (const std::uint64_t size : sizes_) inputSize_ += size;
  }
  output_.reserve(kOutputBytes + 4096);
}

ExitStatus Batch::Run() {
  for (const auto& dir : {options_.reportsDir, options_.viewsDir}) {
    if (!dir) continue;
    if (const std::error_code error = host_.files.MakeDirectory(*dir)) {
      Say(host_.errors, Named(*dir), error.message());
      return ExitStatus::kCantCreate;
    }
  }
  if (const std::optional<ExitStatus> refused = OpenOverview()) return *refused;
  if (options_.header) output_ += options_.solutions ? kRowsHeaderWithSolutions : kRowsHeader;

  for (std::size_t operand = 0; operand < sources_.size() && !pool_.stopped(); ++operand) {
    ReadOperand(operand);
  }
  pool_.Finish();

  // The rows before a failing line still go out, unless standard output itself failed.
  if (!consoleFailed_) WriteOutput();
  // The page of a batch that stopped would show part of it: none is written.
  if (!failed_) WriteOverviews();
  const std::error_code closed = host_.console.Close();
  const std::lock_guard lock(errorsMutex_);
  if (closed && !consoleFailed_) {
    status_.writeFailed = true;
    progress_.Erase();
    SayWriteError(host_.errors, "standard output", closed);
  }
  progress_.Erase();
  if (!options_.quiet && !failed_) progress_.Summarize(tally_, files_);
  return status_.Final();
}

void Batch::ReadOperand(std::size_t operand) {
  const std::string& name = sources_[operand];
  OpenedInput input;
  if (name == "-") {
    input = host_.files.StandardInput();
  } else {
    std::error_code error;
    input = host_.files.OpenInput(name, error);
    if (!input.source) {
      Refuse(operand, error.message());
      return;
    }
  }
  // Rows written to the input itself would be read again, and again.
  if (input.id && input.id == host_.files.ConsoleId()) {
    Refuse(operand, "is the same file as standard output");
    return;
  }
  std::uint64_t before = 0;  // the bytes of the inputs before this one
  for (std::size_t k = 0; k < operand; ++k) before += sizes_[k];
  IdleAwareSource idleAware(*input.source, pool_);
  const OpenedCollection collection = OpenCollection(idleAware);
  if (collection.refusal) {
    Refuse(operand, *collection.refusal);
    return;
  }
  LineReader reader(*collection.input, options_.field);
  for (;;) {
    std::optional<PuzzleLine> line = reader.Next();
    if (!line) break;
    // Compressed bytes for compressed input, as its size counts them.
    bytesRead_.store(before + collection.input->rawBytesRead(), std::memory_order_relaxed);
    const bool added = pool_.Submit([&](Job& job) {
      job.operand = operand;
      job.line = std::move(*line);
      job.notice.reset();
      job.operandEnd.reset();
    });
    if (!added) return;
  }
  files_[operand].lines = reader.linesRead();
  if (overview_) {
    pool_.Submit([&](Job& job) {
      job.operand = operand;
      job.notice.reset();
      job.operandEnd = reader.linesRead();
    });
  }
  if (reader.error()) {
    Refuse(operand, reader.error().message());
  } else if (const std::optional<InputRefusal>& refusal = reader.refusal()) {
    // A header without the field asked for, or damaged compressed data: the rows before stand.
    std::string where = Named(name);
    if (refusal->line != 0) where.append(":").append(std::to_string(refusal->line));
    if (refusal->wholeFile) files_[operand].notRead = refusal->message;
    Notify(operand, ExitStatus::kDataError, refusal->wholeFile, refusal->message,
           Message(where, refusal->message));
  }
}

void Batch::Refuse(std::size_t operand, std::string_view reason) {
  files_[operand].notRead = std::string(reason);
  Notify(operand, ExitStatus::kNoInput, true, reason, Message(Named(sources_[operand]), reason));
}

void Batch::Notify(std::size_t operand, ExitStatus status, bool notRead, std::string_view reason,
                   std::string message) {
  pool_.Submit([&](Job& job) {
    job.operand = operand;
    job.notice = status;
    job.notRead = notRead;
    job.operandEnd.reset();
    job.row.assign(reason);
    job.message = std::move(message);
  });
}

void Batch::Process(Job& job, std::uint64_t place) {
  job.place = place;
  if (const std::optional<WorkFailure> failure = work_.Do(job)) {
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
  const std::string& source = sources_[job.operand];
  if (job.operandEnd) {
    overview_->FileDone(job.operand, source, *job.operandEnd);
    return;
  }
  if (job.notice) {
    if (overview_ && job.notRead) overview_->FileNotRead(job.operand, source, job.row);
    const std::lock_guard lock(errorsMutex_);
    status_.Set(*job.notice);
    progress_.Erase();
    host_.errors << job.message;
    return;
  }
  output_ += job.row;
  if (overview_) Tell(*overview_, job);
  Tally& file = files_[job.operand].rows;
  if (job.outcome) {
    ++tally_.puzzles;
    ++tally_.outcomes[static_cast<int>(*job.outcome)];
    ++file.puzzles;
    ++file.outcomes[static_cast<int>(*job.outcome)];
    if (job.solutions) {
      ++tally_.solutions[*job.solutions];
      ++file.solutions[*job.solutions];
    }
  } else {
    ++tally_.refused;
    ++file.refused;
    const std::lock_guard lock(errorsMutex_);
    status_.refused = true;
    progress_.Erase();
    host_.errors << job.message;
  }
  ++delivered_;
  if (output_.size() >= kOutputBytes) WriteOutput();
  // Looked at every 64 rows: the clock is cheap, but not free.
  if ((delivered_ & 63) == 0) {
    const std::lock_guard lock(errorsMutex_);
    progress_.Update(delivered_, bytesRead_.load(std::memory_order_relaxed), inputSize_);
  }
}

void Batch::Tell(view::BatchTally& tally, const Job& job) {
  const view::RowPlace place{job.operand, sources_[job.operand], job.line.line};
  if (job.line.refusal) {
    tally.AddRefused(place, *job.line.refusal);
    return;
  }
  pageName_.clear();
  if (options_.viewsDir) {
    pageName_.append(names_[job.operand]).append("-").append(std::to_string(job.line.line));
    pageName_.append(".html");
  }
  tally.AddGraded({place, std::string_view(job.line.digits.data(), job.line.digits.size()), job.run,
                   job.solutions, pageName_});
}

std::optional<ExitStatus> Batch::OpenOverview() {
  if (options_.overview || options_.viewsDir) {
    overview_.emplace(view::BatchParameters{options_.lookBack, options_.steps, options_.sequence,
                                            options_.solutions});
  }
  if (!options_.overview) return std::nullopt;
  const std::string& name = *options_.overview;
  const auto refuse = [&](std::string_view reason) {
    Say(host_.errors, Named(name), reason);
    return ExitStatus::kCantCreate;
  };
  // An input or standard output is never replaced; the same file read as an input, neither.
  if (const std::optional<FileId> id = host_.files.IdOf(name)) {
    for (const TakenFile& taken : taken_) {
      if (taken.id == *id) return refuse("is the same file as " + taken.what);
    }
  }
  std::error_code error;
  if (host_.files.IsSpecial(name)) {
    overviewInPlace_ = host_.files.OpenOutput(name, error);
  } else {
    overviewReplacement_ = host_.files.CreateReplacement(name, error);
  }
  if (error) return refuse(error.message());
  return std::nullopt;
}

void Batch::WriteOverviews() {
  if (!overview_) return;
  std::error_code error;
  if (options_.overview) {
    const std::optional<std::string> base =
        options_.viewsDir ? view::LinkBase(*options_.overview, *options_.viewsDir) : std::nullopt;
    const std::string page = view::RenderOverview(
        *overview_, base ? std::optional<std::string_view>(*base) : std::nullopt);
    Sink& file = overviewReplacement_ ? static_cast<Sink&>(*overviewReplacement_)
                                      : static_cast<Sink&>(*overviewInPlace_);
    error = file.Write(page);
    if (!error) error = overviewReplacement_ ? overviewReplacement_->Commit() : file.Close();
    if (error) {
      const std::lock_guard lock(errorsMutex_);
      status_.writeFailed = true;
      SayWriteError(host_.errors, Named(*options_.overview), error);
      return;
    }
  }
  if (options_.viewsDir) {
    const std::string name = *options_.viewsDir + "/index.html";
    std::unique_ptr<ReplacementFile> index = host_.files.CreateReplacement(name, error);
    if (index && !(error = index->Write(view::RenderOverview(*overview_, std::string_view()))) &&
        !(error = index->Commit())) {
      return;
    }
    const std::lock_guard lock(errorsMutex_);
    status_.Set(index ? ExitStatus::kIoError : ExitStatus::kCantCreate);
    if (index) {
      SayWriteError(host_.errors, Named(name), error);
    } else {
      Say(host_.errors, Named(name), error.message());
    }
  }
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
