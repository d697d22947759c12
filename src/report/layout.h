#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "report/line_kinds.h"

namespace tarvik {

// The most values one write takes (the search-sequence echo, one per step) and the most bytes
// such a write can produce; every other line kind takes nine values at most.
inline constexpr std::size_t kMaxWriteValues = 100;
inline constexpr std::size_t kMaxWriteBytes = 1024;

// Applies the template of `kind` to `values` and stores the resulting lines, each ended by a line
// feed, at `out`, which has room for kMaxWriteBytes. Returns the end of what it stored.
//
// The template is applied item by item; a field takes the next value, right-justified in its
// width, or shows as asterisks of that width if the value does not fit. The write stops at the
// first field that finds no value left; at the template's end it starts the template over on a new
// line while values remain. The line under way when the write stops is always emitted.
char* LayOut(LineKind kind, std::span<const std::int32_t> values, char* out);

// Copies `bytes` (a line or two of report text) to `out` and returns its end. Cheaper than a call
// of memcpy for the short pieces the report is made of.
inline char* CopySmall(std::string_view bytes, char* out) {
  const char* from = bytes.data();
  const std::size_t n = bytes.size();
  if (n >= 16) {
    for (std::size_t k = 0; k + 16 <= n; k += 16) std::memcpy(out + k, from + k, 16);
    std::memcpy(out + n - 16, from + n - 16, 16);  // the tail, overlapping what is copied
  } else if (n >= 8) {
    std::memcpy(out, from, 8);
    std::memcpy(out + n - 8, from + n - 8, 8);
  } else {
    for (std::size_t k = 0; k < n; ++k) out[k] = from[k];
  }
  return out + n;
}

}  // namespace tarvik
