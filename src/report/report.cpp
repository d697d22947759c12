#include "report/report.h"

#include <cstring>

#include "report/layout.h"

namespace tarvik {
namespace {

constexpr std::size_t kBufferBytes = std::size_t{1} << 16;

}  // namespace

OutputChannel::OutputChannel(Sink& sink)
    : sink_(sink), buffer_(std::make_unique<char[]>(kBufferBytes)) {}

char* OutputChannel::Room(std::size_t bytes) {
  if (kBufferBytes - used_ < bytes) Flush();
  return buffer_.get() + used_;
}

std::string_view OutputChannel::Write(LineKind kind, std::span<const std::int32_t> values) {
  char* start = Room(kMaxWriteBytes);
  char* end = LayOut(kind, values, start);
  used_ += static_cast<std::size_t>(end - start);
  return {start, static_cast<std::size_t>(end - start)};
}

void OutputChannel::Append(std::string_view bytes) {
  std::memcpy(Room(bytes.size()), bytes.data(), bytes.size());
  used_ += bytes.size();
}

void OutputChannel::Flush() {
  if (used_ != 0 && !error_) error_ = sink_.Write({buffer_.get(), used_});
  used_ = 0;
}

void OutputChannel::Close() {
  Flush();
  const std::error_code closed = sink_.Close();
  if (!error_) error_ = closed;
}

void Report::WRITELINE(Channel channel, LineKind kind, std::span<const std::int32_t> values) {
  (channel == Channel::Console ? console_ : file_).Write(kind, values);
}

void Report::REPORTLINE(LineKind kind, std::span<const std::int32_t> values) {
  // Both copies are the same bytes: lay the line out once and copy it.
  file_.Append(console_.Write(kind, values));
}

void Report::PRINTMATRIX(PuzzleState& st) {
  for (st.I = 1; st.I <= 9; ++st.I) {
    const Grid& s = st.S;
    REPORTLINE(LineKind::MATRIXROW, {s(st.I, 1), s(st.I, 2), s(st.I, 3), s(st.I, 4), s(st.I, 5),
                                     s(st.I, 6), s(st.I, 7), s(st.I, 8), s(st.I, 9)});
  }
}

Report::Failures Report::Finish() {
  console_.Close();
  file_.Close();
  return {console_.error(), file_.error()};
}

}  // namespace tarvik
