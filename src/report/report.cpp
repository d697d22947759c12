// SPDX-License-Identifier: MIT
#include "report/report.h"

#include <array>
#include <memory>

#include "report/grid_listing.h"

namespace tarvik {

void Report::Output::Write(std::string_view bytes) {
  if (!bytes.empty() && !error) error = sink->Write(bytes);
}

void Report::Output::Close() {
  const std::error_code closed = sink->Close();
  if (!error) error = closed;
}

Report::Report(Sink& console, Sink& file)
    : console_{&console, {}},
      file_{&file, {}},
      // Left uninitialised: every byte is written before it is read.
      buffer_(new char[kBufferBytes]) {}

void Report::Flush() {
  const std::string_view all(buffer_.get(), used_);
  const std::string_view shared = all.substr(alone_);
  console_.Write(aloneChannel_ == Channel::kConsole ? all : shared);
  file_.Write(aloneChannel_ == Channel::kFile ? all : shared);
  used_ = 0;
  alone_ = 0;
}

void Report::WRITELINE(Channel channel, LineKind kind, std::span<const std::int32_t> values) {
  if (listener_ != nullptr) [[unlikely]] {
    listener_->OnLine(kind, values);
    return;
  }
  // A line for one channel goes before every shared byte in the buffer, and only beside others
  // for the same channel: whatever else is waiting is handed over first.
  if (used_ != alone_ || (alone_ != 0 && aloneChannel_ != channel)) Flush();
  char* start = Reserve();
  used_ = static_cast<std::size_t>(LayOut(kind, values, start) - buffer_.get());
  alone_ = used_;
  aloneChannel_ = channel;
}

void LineListener::OnGrid(const Grid& grid) {
  for (int i = 1; i <= 9; ++i) {
    std::array<std::int32_t, layout::kRowValues> row;
    layout::RowValues(grid, i, row);
    OnLine(LineKind::MATRIXROW, std::span<const std::int32_t>(row.data(), 9));
  }
}

void Report::ListGrid(const Grid& grid) {
  if (listener_ != nullptr) [[unlikely]] {
    listener_->OnGrid(grid);
    return;
  }
  static_assert(layout::kGridRoom <= kMaxWriteBytes);
  used_ = static_cast<std::size_t>(layout::LayOutGrid(grid, Reserve()) - buffer_.get());
}

void Report::TellListenerPairSearch(const PuzzleState& st) {
  PairSearchResult result;
  if (st.I <= 9 && (st.NCAND == 0 || st.NCAND == 2)) {
    result.found =
        st.NCAND == 0 ? PairSearchResult::Found::kDeadCell : PairSearchResult::Found::kTwoValueCell;
    result.row = static_cast<std::int8_t>(st.I);
    result.column = static_cast<std::int8_t>(st.J);
    if (st.NCAND == 2) {
      result.first = static_cast<std::int8_t>(st.CAND1);
      result.second = static_cast<std::int8_t>(st.CAND2);
    }
  }
  listener_->OnPairSearch(result);
}

Report::Failures Report::Finish() {
  if (listener_ == nullptr) {
    Flush();
    console_.Close();
    file_.Close();
  }
  return {console_.error, file_.error};
}

}  // namespace tarvik
