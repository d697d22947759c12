#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <system_error>

#include "report/line_kinds.h"
#include "report/sinks.h"
#include "state/puzzle_state.h"

namespace tarvik {

// One report channel: a buffer in front of a sink. Lines are handed to the sink a buffer at a
// time; after the sink's first failure the channel drops everything, and remembers that error.
class OutputChannel {
 public:
  explicit OutputChannel(Sink& sink);
  OutputChannel() = default;  // no sink and no buffer: a listening report's

  // Lays out one write of `kind` at the end of the buffer; returns the bytes it added.
  std::string_view Write(LineKind kind, std::span<const std::int32_t> values);
  // The same for a line kind known at compile time, with its layout routine built for it.
  template <LineKind K>
  std::string_view Write(std::span<const std::int32_t> values);
  // Appends bytes that one write produced.
  void Append(std::string_view bytes);
  // Hands the buffered bytes over to the sink.
  void Flush();
  // Flushes, then closes the sink.
  void Close();
  std::error_code error() const { return error_; }

 private:
  // Room for `bytes` more (at most one write's worth), handing the buffer over first if need be.
  char* Reserve(std::size_t bytes);

  static constexpr std::size_t kBufferBytes = std::size_t{1} << 16;

  Sink* sink_ = nullptr;
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::error_code error_;
};

// Receives the writes of a report that lays out no text: each line kind with its values, once
// (REPORTLINE and WRITELINE alike).
class LineListener {
 public:
  virtual ~LineListener() = default;
  virtual void OnLine(LineKind kind, std::span<const std::int32_t> values) = 0;
};

// The two channels of the report: the console and the output file Sudout.txt. A report made with
// a listener instead hands every write to it and lays out nothing.
class Report {
 public:
  enum class Channel { kConsole, kFile };

  Report(Sink& console, Sink& file) : console_(console), file_(file) {}
  explicit Report(LineListener& listener) : listener_(&listener) {}

  // One write of a line kind to one channel.
  void WRITELINE(Channel channel, LineKind kind, std::span<const std::int32_t> values);
  // The same write to the console, then to the output file.
  void REPORTLINE(LineKind kind, std::span<const std::int32_t> values);
  void REPORTLINE(LineKind kind, std::initializer_list<std::int32_t> values = {}) {
    REPORTLINE(kind, std::span<const std::int32_t>(values.begin(), values.size()));
  }
  // The working grid as nine MATRIXROW lines; uses I as its row index and leaves it at 10.
  void PRINTMATRIX(PuzzleState& st);

  // Hands everything over and closes both channels; the errors say what was lost on each.
  struct Failures {
    std::error_code console;
    std::error_code file;
  };
  Failures Finish();

 private:
  LineListener* listener_ = nullptr;
  OutputChannel console_;
  OutputChannel file_;
};

}  // namespace tarvik
