// SPDX-License-Identifier: MIT
// Replaces the global operator new and delete to count the bytes live on the heap; linked only
// into the programs that measure memory, each of its own.
#include "support/heap_bytes.h"

#include <malloc.h>

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

std::atomic<std::int64_t> liveBytes{0};

}  // namespace

void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) throw std::bad_alloc();
  liveBytes += static_cast<std::int64_t>(malloc_usable_size(block));
  return block;
}

void operator delete(void* block) noexcept {
  if (block == nullptr) return;
  liveBytes -= static_cast<std::int64_t>(malloc_usable_size(block));
  std::free(block);
}

void* operator new[](std::size_t size) { return operator new(size); }
void operator delete[](void* block) noexcept { operator delete(block); }
void operator delete(void* block, std::size_t /*size*/) noexcept { operator delete(block); }
void operator delete[](void* block, std::size_t /*size*/) noexcept { operator delete(block); }

namespace tarvik::testing {

std::int64_t LiveHeapBytes() { return liveBytes.load(); }

}  // namespace tarvik::testing
