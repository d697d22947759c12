// SPDX-License-Identifier: MIT
#include "batch/batch.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <new>
#include <ostream>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "batch/grading.h"
#include "batch/line_reader.h"
#include "view/run_page.h"

namespace tarvik::batch {
namespace {

using Clock = std::chrono::steady_clock;

const std::string kStandardInput = "-";
constexpr std::size_t kOutputBytes = std::size_t{1} << 15;  // rows written at a time, at most

// Why the batch stopped early, or why its status is not 0. Kept in the order of precedence.
struct Status {
  bool outOfMemory = false;
  bool writeFailed = false;
  bool cantCreate = false;
  bool unreadable = false;
  bool refused = false;

  ExitStatus Final() const {
    if (outOfMemory) return ExitStatus::kOsError;
    if (writeFailed) return ExitStatus::kIoError;
    if (cantCreate) return ExitStatus::kCantCreate;
    if (unreadable) return ExitStatus::kNoInput;
    if (refused) return ExitStatus::kDataError;
    return ExitStatus::kSuccess;
  }
};

// One line in flight: read by the calling thread, graded by a worker, written in input order.
struct Slot {
  std::size_t operand = 0;
  PuzzleLine line;
  Grade grade;
  bool done = false;
};

// Counts for the summary line.
struct Tally {
  std::uint64_t puzzles = 0;
  std::uint64_t refused = 0;
  std::uint64_t outcomes[4] = {};
};

class Batch {
 public:
  Batch(const BatchOptions& options, Host& host)
      : options_(options), host_(host), parameters_(ParametersOf(options)) {
    output_.reserve(kOutputBytes + 4096);
  }

  ExitStatus Run();

 private:
  // The reading side (the calling thread).
  void ReadOperand(std::size_t operand);
  void Add(std::size_t operand, PuzzleLine line, std::uint64_t bytesRead);
  void StartWorkers(unsigned count);
  void StopWorkers();

  // The grading side (workers, or the calling thread with one job).
  void Work();
  void Grade(Slot& slot);
  // Creates or empties the report file `name`; null, the batch stopped, if it cannot.
  std::unique_ptr<OutputFile> Replace(const std::string& name);
  bool WriteFile(const std::string& name, std::string_view bytes);
  const std::string& SourceOf(std::size_t operand) const {
    return options_.operands.empty() ? kStandardInput : options_.operands[operand];
  }
  void Fail(bool Status::*which, const std::string& message);

  // The writing side, under mutex_: rows in input order as soon as all earlier rows are done.
  void EmitReady();
  void AppendRow(const Slot& slot);
  void WriteOutput();
  void ShowProgress(bool force);
  void EraseProgress();

  const BatchOptions& options_;
  Host& host_;
  const Parameters parameters_;
  std::vector<std::string> names_;  // the report name of each operand

  std::mutex mutex_;
  std::condition_variable workReady_;
  std::condition_variable slotDone_;
  std::vector<Slot> window_;
  std::uint64_t added_ = 0;
  std::uint64_t claimed_ = 0;
  std::uint64_t emitted_ = 0;
  bool closing_ = false;
  bool readerWaiting_ = false;
  std::atomic<bool> stop_{false};
  Status status_;
  std::vector<std::thread> workers_;
  unsigned threads_ = 1;  // asked for; the workers that started may be fewer

  std::string output_;
  Tally tally_;
  Clock::time_point started_ = Clock::now();
  Clock::time_point lastProgress_ = started_;
  bool progressShown_ = false;
  std::uint64_t bytesRead_ = 0;
  std::uint64_t inputSize_ = 0;  // 0 when not known
};

// Flushes the rows written so far before the reader waits for more input, so that rows never
// wait behind an input that is slow to come.
class FlushingSource final : public Source {
 public:
  FlushingSource(Source& source, std::function<void(bool)> waiting)
      : source_(source), waiting_(std::move(waiting)) {}
  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    waiting_(true);
    const std::size_t n = source_.Read(buffer, size, error);
    waiting_(false);
    return n;
  }

 private:
  Source& source_;
  std::function<void(bool)> waiting_;
};

ExitStatus Batch::Run() {
  std::vector<std::string> operands = options_.operands;
  if (operands.empty()) operands.emplace_back("-");
  for (const std::string& operand : operands) names_.push_back(ReportName(operand));

  for (const auto& dir : {options_.reportsDir, options_.viewsDir}) {
    if (!dir) continue;
    if (const std::error_code error = host_.files.MakeDirectory(*dir)) {
      host_.errors << "tarvik: " << *dir << ": " << error.message() << '\n';
      return ExitStatus::kCantCreate;
    }
  }
  if (options_.header) {
    output_ += "source\tline\tpuzzle\toutcome\tattempts\tsteps\tdepth\tempty\tgrid\n";
  }

  const unsigned jobs = options_.jobs == 0 ? host_.processors : options_.jobs;
  // Enough lines in flight to keep every thread busy however uneven the puzzles are, and a fixed
  // bound on memory whatever the input's size.
  window_.resize(std::clamp<std::size_t>(std::size_t{64} * jobs, 256, 16384));
  threads_ = jobs;
  if (jobs > 1) StartWorkers(jobs);

  for (std::size_t operand = 0; operand < operands.size() && !stop_; ++operand) {
    ReadOperand(operand);
  }
  StopWorkers();

  std::unique_lock lock(mutex_);
  EmitReady();
  if (!stop_) WriteOutput();
  if (!stop_ || status_.writeFailed) {
    const std::error_code closed = host_.console.Close();
    if (closed && !status_.writeFailed) {
      status_.writeFailed = true;
      host_.errors << "tarvik: write error on standard output: " << closed.message() << '\n';
    }
  }
  EraseProgress();
  if (!options_.quiet && !stop_) {
    const double seconds = std::chrono::duration<double>(Clock::now() - started_).count();
    char timing[64];
    (void)std::snprintf(timing, sizeof timing, "%.2f s (%.0f/s)", seconds,
                        seconds > 0 ? static_cast<double>(tally_.puzzles) / seconds : 0.0);
    host_.errors << "tarvik: " << tally_.puzzles << " puzzles, " << tally_.refused
                 << " refused, in " << timing;
    const char* separator = ": ";
    for (const Outcome outcome : {Outcome::kSolved, Outcome::kStepLimit, Outcome::kNoFurtherGuesses,
                                  Outcome::kNoSolution}) {
      const std::uint64_t count = tally_.outcomes[static_cast<int>(outcome)];
      if (count == 0) continue;
      host_.errors << separator << count << ' ' << OutcomeName(outcome);
      separator = ", ";
    }
    host_.errors << '\n';
  }
  return status_.Final();
}

void Batch::ReadOperand(std::size_t operand) {
  const std::string& name = SourceOf(operand);
  OpenedInput input;
  if (name == "-") {
    input = host_.files.StandardInput();
  } else {
    std::error_code error;
    input = host_.files.OpenInput(name, error);
    if (!input.source) {
      std::lock_guard lock(mutex_);
      EmitReady();
      status_.unreadable = true;
      EraseProgress();
      host_.errors << "tarvik: " << name << ": " << error.message() << '\n';
      return;
    }
  }
  {
    std::lock_guard lock(mutex_);
    inputSize_ = input.size.value_or(0);
    bytesRead_ = 0;
  }
  FlushingSource flushing(*input.source, [this](bool waiting) {
    std::lock_guard lock(mutex_);
    readerWaiting_ = waiting;
    if (waiting && !stop_) WriteOutput();
  });
  LineReader reader(flushing);
  while (!stop_) {
    std::optional<PuzzleLine> line = reader.Next();
    if (!line) break;
    Add(operand, std::move(*line), reader.bytesRead());
  }
  if (reader.error() && !stop_) {
    std::lock_guard lock(mutex_);
    EmitReady();
    status_.unreadable = true;
    EraseProgress();
    host_.errors << "tarvik: " << name << ": " << reader.error().message() << '\n';
  }
}

void Batch::Add(std::size_t operand, PuzzleLine line, std::uint64_t bytesRead) {
  std::unique_lock lock(mutex_);
  bytesRead_ = bytesRead;
  // Wait for room: the oldest line in flight must have been written.
  slotDone_.wait(lock, [&] { return added_ - emitted_ < window_.size() || stop_; });
  if (stop_) return;
  Slot& slot = window_[added_ % window_.size()];
  slot.operand = operand;
  slot.line = std::move(line);
  slot.done = slot.line.refusal.has_value();
  ++added_;
  if (workers_.empty()) {
    // One job: grade here and now.
    if (!slot.done) {
      ++claimed_;
      lock.unlock();
      Grade(slot);
      lock.lock();
      slot.done = true;
    } else {
      ++claimed_;
    }
    EmitReady();
    return;
  }
  workReady_.notify_one();
  EmitReady();
}

void Batch::StartWorkers(unsigned count) {
  for (unsigned k = 0; k < count; ++k) {
    try {
      workers_.emplace_back([this] { Work(); });
    } catch (const std::system_error&) {
      break;  // go on with the threads that started
    }
  }
}

void Batch::StopWorkers() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  workReady_.notify_all();
  for (std::thread& worker : workers_) worker.join();
  workers_.clear();
}

void Batch::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    workReady_.wait(lock, [&] { return claimed_ < added_ || closing_ || stop_; });
    if (stop_ || claimed_ == added_) return;
    // Several lines at a time while many wait: handing a line over can cost more than an easy
    // puzzle takes to solve.
    const std::uint64_t first = claimed_;
    claimed_ +=
        std::clamp<std::uint64_t>((added_ - claimed_) / (std::uint64_t{2} * threads_), 1, 16);
    const std::uint64_t end = claimed_;
    lock.unlock();
    for (std::uint64_t k = first; k < end && !stop_; ++k) {
      Slot& slot = window_[k % window_.size()];
      if (!slot.done) Grade(slot);  // a refused line is done already
    }
    lock.lock();
    for (std::uint64_t k = first; k < end; ++k) window_[k % window_.size()].done = true;
    EmitReady();
  }
}

void Batch::Grade(Slot& slot) {
  try {
    PuzzleState st = StateFor(slot.line.start, parameters_);
    if (!options_.viewsDir && !options_.reportsDir) {
      slot.grade = GradePuzzle(st);
      return;
    }
    const std::string stem = names_[slot.operand] + "-" + std::to_string(slot.line.line);
    if (options_.viewsDir) {
      view::RunRecorder recorder;
      const RunSummary summary = view::RecordRun(st, recorder);
      slot.grade = {summary, recorder.summary().empty, recorder.summary().finalGrid};
      const std::string page = view::RenderPage(st, recorder, SourceOf(slot.operand));
      if (!WriteFile(*options_.viewsDir + "/" + stem + ".html", page)) return;
    }
    if (!options_.reportsDir) return;
    const std::string name = *options_.reportsDir + "/" + stem + ".txt";
    const std::unique_ptr<OutputFile> file = Replace(name);
    if (!file) return;
    // The console copy of a report file goes nowhere; the file gets the bytes of Sudout.txt.
    FailingSink nowhere(std::error_code{}, SIZE_MAX);
    Report report(nowhere, *file);
    slot.grade = GradePuzzle(st, report);
    if (const std::error_code failed = report.Finish().file) {
      Fail(&Status::writeFailed, "tarvik: write error on " + name + ": " + failed.message());
    }
  } catch (const std::bad_alloc&) {
    Fail(&Status::outOfMemory, "tarvik: out of memory");
  }
}

std::unique_ptr<OutputFile> Batch::Replace(const std::string& name) {
  std::error_code error;
  std::unique_ptr<OutputFile> file = host_.files.OpenOutput(name, error);
  if (!file || (error = file->Truncate())) {
    Fail(&Status::cantCreate, "tarvik: " + name + ": " + error.message());
    return nullptr;
  }
  return file;
}

bool Batch::WriteFile(const std::string& name, std::string_view bytes) {
  const std::unique_ptr<OutputFile> file = Replace(name);
  if (!file) return false;
  std::error_code error = file->Write(bytes);
  const std::error_code closed = file->Close();
  if (!error) error = closed;
  if (error) {
    Fail(&Status::writeFailed, "tarvik: write error on " + name + ": " + error.message());
    return false;
  }
  return true;
}

void Batch::Fail(bool Status::*which, const std::string& message) {
  std::lock_guard lock(mutex_);
  if (stop_) return;
  // Rows before this line still go out; nothing after it.
  stop_ = true;
  status_.*which = true;
  EraseProgress();
  host_.errors << message << '\n';
  workReady_.notify_all();
  slotDone_.notify_all();
}

void Batch::EmitReady() {
  while (!stop_ && emitted_ < added_) {
    Slot& slot = window_[emitted_ % window_.size()];
    if (!slot.done) break;
    AppendRow(slot);
    ++emitted_;
    if (output_.size() >= kOutputBytes) WriteOutput();
  }
  slotDone_.notify_all();
  if (readerWaiting_ && !stop_) WriteOutput();
  ShowProgress(false);
}

void Batch::AppendRow(const Slot& slot) {
  const std::string& source = SourceOf(slot.operand);
  output_ += source;
  output_ += '\t';
  output_ += std::to_string(slot.line.line);  // the line number goes first, refused or not
  if (slot.line.refusal) {
    ++tally_.refused;
    status_.refused = true;
    EraseProgress();
    host_.errors << "tarvik: " << source << ':' << slot.line.line << ": " << *slot.line.refusal
                 << '\n';
    output_ += "\t\trefused\t\t\t\t\t\n";
    return;
  }
  ++tally_.puzzles;
  ++tally_.outcomes[static_cast<int>(slot.grade.summary.outcome)];
  // The rest of the row is at most 81 + 81 + 18 + 3 * 20 + 2 + 2 + 8 characters.
  char row[256];
  char* out = row;
  const auto grid = [&](const Grid& g) {
    std::int8_t cells[88] = {};
    g.CopyRows(cells);
    // Cells hold 0 to 9: adding '0' to eight of them at once carries nothing over.
    for (int k = 0; k < 88; k += 8) {
      std::uint64_t eight = 0;
      std::memcpy(&eight, cells + k, 8);
      eight += 0x3030303030303030u;
      std::memcpy(out + k, &eight, 8);
    }
    out += 81;
  };
  const auto number = [&](std::int64_t value) {
    char digits[20];
    char* first = digits + sizeof digits;
    auto magnitude = static_cast<std::uint64_t>(value);
    do {
      *--first = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    out = std::copy(first, digits + sizeof digits, out);
  };
  *out++ = '\t';
  out = std::copy(slot.line.digits.begin(), slot.line.digits.end(), out);
  *out++ = '\t';
  const std::string_view outcome = OutcomeName(slot.grade.summary.outcome);
  out = std::copy(outcome.begin(), outcome.end(), out);
  *out++ = '\t';
  number(slot.grade.summary.attempts);
  *out++ = '\t';
  number(slot.grade.summary.steps);
  *out++ = '\t';
  number(slot.grade.summary.depth);
  *out++ = '\t';
  number(slot.grade.empty);
  *out++ = '\t';
  grid(slot.grade.final);
  *out++ = '\n';
  output_.append(row, static_cast<std::size_t>(out - row));
}

void Batch::WriteOutput() {
  if (output_.empty() || status_.writeFailed) return;
  const std::error_code error = host_.console.Write(output_);
  output_.clear();
  if (!error) return;
  stop_ = true;
  status_.writeFailed = true;
  EraseProgress();
  host_.errors << "tarvik: write error on standard output: " << error.message() << '\n';
  workReady_.notify_all();
  slotDone_.notify_all();
}

void Batch::ShowProgress(bool force) {
  if (!host_.errorsIsTerminal || options_.quiet) return;
  // Looked at every 64 rows: the clock is cheap, but not free.
  if (!force && (emitted_ & 63) != 0) return;
  const Clock::time_point now = Clock::now();
  if (!force && now - lastProgress_ < std::chrono::milliseconds(250)) return;
  lastProgress_ = now;
  const double seconds = std::chrono::duration<double>(now - started_).count();
  char line[128];
  int length = std::snprintf(line, sizeof line, "\rtarvik: %llu puzzles, %.0f/s",
                             static_cast<unsigned long long>(emitted_),
                             seconds > 0 ? static_cast<double>(emitted_) / seconds : 0.0);
  if (inputSize_ > 0 && length > 0) {
    length +=
        std::snprintf(line + length, sizeof line - static_cast<std::size_t>(length), ", %.0f%%",
                      100.0 * static_cast<double>(bytesRead_) / static_cast<double>(inputSize_));
  }
  host_.errors << std::string_view(line, static_cast<std::size_t>(std::max(length, 0))) << "\x1b[K"
               << std::flush;
  progressShown_ = true;
}

void Batch::EraseProgress() {
  if (!progressShown_) return;
  host_.errors << "\r\x1b[K" << std::flush;
  progressShown_ = false;
}

}  // namespace

ExitStatus RunBatch(const BatchOptions& options, Host& host) {
  try {
    Batch batch(options, host);
    return batch.Run();
  } catch (const std::bad_alloc&) {
    host.errors << "tarvik: out of memory\n";
    return ExitStatus::kOsError;
  }
}

}  // namespace tarvik::batch
