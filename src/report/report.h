// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <span>
#include <string_view>
#include <system_error>

#include "report/layout.h"
#include "report/line_kinds.h"
#include "state/grid.h"
#include "state/puzzle_state.h"
#include "system/sinks.h"

namespace tarvik {

// What SEARCHFORPAIR found after a stall: the first empty cell, row by row, that has no possible
// value or exactly two (`first` < `second`), or neither.
struct PairSearchResult {
  enum class Found : std::uint8_t { kNeither, kDeadCell, kTwoValueCell };
  Found found = Found::kNeither;
  std::int8_t row = 0;  // the cell found
  std::int8_t column = 0;
  std::int8_t first = 0;  // a two-value cell's values
  std::int8_t second = 0;
};

// Receives the writes of a report that lays out no text: each line kind with its values, once
// (REPORTLINE and WRITELINE alike).
class LineListener {
 public:
  virtual ~LineListener() = default;
  virtual void OnLine(LineKind kind, std::span<const std::int32_t> values) = 0;
  // A grid listing; unless told otherwise, as its nine MATRIXROW lines.
  virtual void OnGrid(const Grid& grid);
  // What the pair search found. No report line says so when it finds no two-value cell, so
  // a listener that wants to know is told here, at every print level.
  virtual void OnPairSearch(const PairSearchResult& /*result*/) {}
};

// Takes every write of a report that nobody reads.
class NullListener final : public LineListener {
 public:
  void OnLine(LineKind kind, std::span<const std::int32_t> values) override;
};

// The two channels of the report: the console and the output file Sudout.txt. Each line is laid
// out once, into one buffer that both channels are handed; a channel whose sink fails is handed
// nothing more and remembers that first error, while the other goes on. A report made with a
// listener instead hands every write to it and lays out nothing.
class Report {
 public:
  enum class Channel { kConsole, kFile };

  Report(Sink& console, Sink& file);
  explicit Report(LineListener& listener) : listener_(&listener) {}

  // One write of a line kind to one channel.
  void WRITELINE(Channel channel, LineKind kind, std::span<const std::int32_t> values);
  // The same write to the console, then to the output file.
  void REPORTLINE(LineKind kind, std::span<const std::int32_t> values) {
    if (listener_ != nullptr) [[unlikely]] {
      listener_->OnLine(kind, values);
      return;
    }
    used_ = static_cast<std::size_t>(LayOut(kind, values, Reserve()) - buffer_.get());
  }
  void REPORTLINE(LineKind kind, std::initializer_list<std::int32_t> values = {}) {
    REPORTLINE(kind, std::span<const std::int32_t>(values.begin(), values.size()));
  }
  // The working grid as nine MATRIXROW lines; uses I as its row index and leaves it at 10.
  void PRINTMATRIX(PuzzleState& st) {
    ListGrid(st.S);
    st.I = 10;
  }
  // A grid as nine MATRIXROW lines.
  void ListGrid(const Grid& grid);
  // Tells a listener what SEARCHFORPAIR left in `st`. No line is laid out: a report that writes
  // text does nothing here.
  void TellPairSearch(const PuzzleState& st) {
    if (listener_ != nullptr) [[unlikely]]
      TellListenerPairSearch(st);
  }

  // Hands everything over and closes both channels; the errors say what was lost on each.
  struct Failures {
    std::error_code console;
    std::error_code file;
  };
  Failures Finish();

 private:
  // One channel's end: its sink, and the sink's first error, after which it is handed nothing.
  struct Output {
    Sink* sink = nullptr;
    std::error_code error;
    void Write(std::string_view bytes);
    void Close();
  };

  void TellListenerPairSearch(const PuzzleState& st);
  // Room for one write (kMaxWriteBytes) at the end of the buffer, handing the buffer over first
  // if need be.
  char* Reserve() {
    if (kBufferBytes - used_ < kMaxWriteBytes) [[unlikely]]
      Flush();
    return buffer_.get() + used_;
  }
  // Hands the buffered bytes over: to the console, then to the file.
  void Flush();

  // A full report at print level 3 is handed over in about 30 writes to each channel.
  static constexpr std::size_t kBufferBytes = std::size_t{1} << 18;

  LineListener* listener_ = nullptr;
  Output console_;
  Output file_;
  // The laid-out lines not yet handed over. Both channels get the same bytes, except that the
  // first alone_ bytes are for aloneChannel_ only (the search-sequence echo, which comes first).
  std::unique_ptr<char[]> buffer_;
  std::size_t used_ = 0;
  std::size_t alone_ = 0;
  Channel aloneChannel_ = Channel::kFile;
};

}  // namespace tarvik
