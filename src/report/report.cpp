// SPDX-License-Identifier: MIT
#include "report/report.h"

#include <array>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "report/layout.h"
#include "report/layout_internal.h"

namespace tarvik {
namespace {

// Room for the nine cells of a row and three values more, which RowValues may overwrite.
constexpr std::size_t kRowValues = 12;

// The nine cells of row i, widened to the layout's values. The row is three cells in each of the
// three boxes of its band (state/grid.h).
void RowValues(const Grid& grid, int i, std::array<std::int32_t, kRowValues>& row) {
  const std::int8_t* first = grid.cells + Grid::Offset(i, 1);
#if defined(__SSE2__)
  // Four bytes from each box, the row's three cells and one more; widened with their signs to
  // three vectors of four values, stored three values apart so that each covers the extra value
  // of the one before.
  std::int32_t box[3];
  for (int b = 0; b < 3; ++b) std::memcpy(&box[b], first + Grid::kLineBytes * b, 4);
  const __m128i bytes = _mm_setr_epi32(box[0], box[1], box[2], 0);
  const __m128i zero = _mm_setzero_si128();
  const __m128i words01 = _mm_unpacklo_epi8(bytes, _mm_cmpgt_epi8(zero, bytes));
  const __m128i words2 = _mm_unpackhi_epi8(bytes, _mm_cmpgt_epi8(zero, bytes));
  const __m128i signs01 = _mm_cmpgt_epi16(zero, words01);
  const auto at = [&row](std::size_t k) { return reinterpret_cast<__m128i*>(row.data() + k); };
  _mm_storeu_si128(at(0), _mm_unpacklo_epi16(words01, signs01));
  _mm_storeu_si128(at(3), _mm_unpackhi_epi16(words01, signs01));
  _mm_storeu_si128(at(6), _mm_unpacklo_epi16(words2, _mm_cmpgt_epi16(zero, words2)));
#else
  for (int b = 0; b < 3; ++b) {
    for (int k = 0; k < 3; ++k) {
      row[static_cast<std::size_t>(3 * b + k)] = first[Grid::kLineBytes * b + k];
    }
  }
#endif
}

}  // namespace

void Report::Output::Write(std::string_view bytes) {
  if (!bytes.empty() && !error) error = sink->Write(bytes);
}

void Report::Output::Close() {
  const std::error_code closed = sink->Close();
  if (!error) error = closed;
}

Report::Report(Sink& console, Sink& file)
    : console_{&console, {}}, file_{&file, {}}, buffer_(std::make_unique<char[]>(kBufferBytes)) {}

char* Report::Reserve() {
  if (kBufferBytes - used_ < kMaxWriteBytes) Flush();
  return buffer_.get() + used_;
}

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

void Report::REPORTLINE(LineKind kind, std::span<const std::int32_t> values) {
  if (listener_ != nullptr) [[unlikely]] {
    listener_->OnLine(kind, values);
    return;
  }
  char* start = Reserve();
  used_ = static_cast<std::size_t>(LayOut(kind, values, start) - buffer_.get());
}

void Report::PRINTMATRIX(PuzzleState& st) {
  for (st.I = 1; st.I <= 9; ++st.I) {
    std::array<std::int32_t, kRowValues> row;
    RowValues(st.S, st.I, row);
    const std::span<const std::int32_t, 9> values(row.data(), 9);
    if (listener_ != nullptr) [[unlikely]] {
      listener_->OnLine(LineKind::MATRIXROW, values);
      continue;
    }
    char* start = Reserve();
    used_ = static_cast<std::size_t>(layout::LayOutOf<LineKind::MATRIXROW>(values, start) -
                                     buffer_.get());
  }
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
