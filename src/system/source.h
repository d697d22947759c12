// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <system_error>

namespace tarvik {

// Where the bytes of an input come from: Sudin.txt, a collection file or standard input.
class Source {
 public:
  virtual ~Source() = default;
  // Reads up to `size` bytes into `buffer`; 0 at the end of the input or on an error (then set).
  virtual std::size_t Read(char* buffer, std::size_t size, std::error_code& error) = 0;
};

}  // namespace tarvik
