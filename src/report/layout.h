// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
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

// The first literal text of the template of `kind`: the whole text of a line without fields (an
// outcome line, say), without its line end.
std::string_view TextOf(LineKind kind);

}  // namespace tarvik
