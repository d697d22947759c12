// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace tarvik::testing {

// The bytes live on the heap, as malloc counts them. Only in a program that links
// heap_bytes.cpp, which replaces the global operator new and delete to count them.
std::int64_t LiveHeapBytes();

}  // namespace tarvik::testing
