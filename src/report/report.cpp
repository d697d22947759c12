#include "report/report.h"

#include <array>
#include <cstring>

#include "report/layout.h"
#include "report/layout_internal.h"

namespace tarvik {
OutputChannel::OutputChannel(Sink& sink)
    : sink_(&sink), buffer_(std::make_unique<char[]>(kBufferBytes)) {}

char* OutputChannel::Reserve(std::size_t bytes) {
  if (kBufferBytes - used_ < bytes) Flush();
  return buffer_.get() + used_;
}

std::string_view OutputChannel::Write(LineKind kind, std::span<const std::int32_t> values) {
  char* start = Reserve(kMaxWriteBytes);
  char* end = LayOut(kind, values, start);
  used_ += static_cast<std::size_t>(end - start);
  return {start, static_cast<std::size_t>(end - start)};
}

template <LineKind K>
std::string_view OutputChannel::Write(std::span<const std::int32_t> values) {
  char* start = Reserve(kMaxWriteBytes);
  char* end = layout::LayOutOf<K>(values, start);
  used_ += static_cast<std::size_t>(end - start);
  return {start, static_cast<std::size_t>(end - start)};
}

void OutputChannel::Append(std::string_view bytes) {
  used_ = static_cast<std::size_t>(layout::CopySmall(bytes, Reserve(bytes.size())) - buffer_.get());
}

void OutputChannel::Flush() {
  if (used_ != 0 && !error_) error_ = sink_->Write({buffer_.get(), used_});
  used_ = 0;
}

void OutputChannel::Close() {
  if (sink_ == nullptr) return;
  Flush();
  const std::error_code closed = sink_->Close();
  if (!error_) error_ = closed;
}

void Report::WRITELINE(Channel channel, LineKind kind, std::span<const std::int32_t> values) {
  if (listener_ != nullptr) [[unlikely]] {
    listener_->OnLine(kind, values);
    return;
  }
  (channel == Channel::kConsole ? console_ : file_).Write(kind, values);
}

void Report::REPORTLINE(LineKind kind, std::span<const std::int32_t> values) {
  if (listener_ != nullptr) [[unlikely]] {
    listener_->OnLine(kind, values);
    return;
  }
  // Both copies are the same bytes: lay the line out once and copy it.
  file_.Append(console_.Write(kind, values));
}

void Report::PRINTMATRIX(PuzzleState& st) {
  for (st.I = 1; st.I <= 9; ++st.I) {
    std::array<std::int32_t, 9> row;
    for (int j = 1; j <= 9; ++j) row[static_cast<std::size_t>(j) - 1] = st.S(st.I, j);
    if (listener_ != nullptr) [[unlikely]] {
      listener_->OnLine(LineKind::MATRIXROW, row);
      continue;
    }
    file_.Append(console_.Write<LineKind::MATRIXROW>(row));
  }
}

Report::Failures Report::Finish() {
  console_.Close();
  file_.Close();
  return {console_.error(), file_.error()};
}

}  // namespace tarvik
