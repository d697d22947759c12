// SPDX-License-Identifier: MIT
#pragma once

#include <cassert>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <system_error>

#include "system/source.h"

namespace tarvik {

// One buffer over a Source for a reader that takes its bytes in order: the bytes read and not yet
// taken are [next(), end()). The source is read only when the reader asks, and no more once it
// has ended (given 0 bytes, at its end or on an error).
class BufferedReader {
 public:
  // `slack` bytes past the buffer's end can be read (they hold 0 until a read reaches them).
  BufferedReader(Source& source, std::size_t capacity, std::size_t slack = 0)
      : source_(source), capacity_(capacity), buffer_(new char[capacity + slack]()) {}

  const char* next() const { return buffer_.get() + pos_; }
  const char* end() const { return buffer_.get() + end_; }
  bool empty() const { return pos_ == end_; }
  bool full() const { return end_ == capacity_; }
  // The next byte, taken.
  char Take() { return buffer_[pos_++]; }
  // Takes the bytes before `at`, a place between next() and end().
  void TakeTo(const char* at) { pos_ = static_cast<std::size_t>(at - buffer_.get()); }

  // Drops the bytes held and reads once into the whole buffer; false if it got none.
  bool Refill() {
    pos_ = 0;
    end_ = 0;
    return ReadMore() != 0;
  }
  // Reads once into the room after the bytes held; the bytes it got.
  std::size_t ReadMore() {
    assert(!full());
    if (ended_) return 0;
    const std::size_t n = source_.Read(buffer_.get() + end_, capacity_ - end_, error_);
    if (n == 0) ended_ = true;
    end_ += n;
    bytesRead_ += n;
    return n;
  }

  // The source gave its last byte, or failed (error() then says why).
  bool ended() const { return ended_; }
  std::error_code error() const { return error_; }
  std::uint64_t bytesRead() const { return bytesRead_; }

 private:
  Source& source_;
  const std::size_t capacity_;
  std::unique_ptr<char[]> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool ended_ = false;
  std::error_code error_;
  std::uint64_t bytesRead_ = 0;
};

}  // namespace tarvik
