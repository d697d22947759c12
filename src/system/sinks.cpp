// SPDX-License-Identifier: MIT
#include "system/sinks.h"

namespace tarvik {

std::error_code NullSink::Write(std::string_view /*bytes*/) { return {}; }

std::error_code FailingSink::Write(std::string_view bytes) {
  const std::size_t taken = bytes.size() < room_ ? bytes.size() : room_;
  Take(bytes.substr(0, taken));
  room_ -= taken;
  return taken == bytes.size() ? std::error_code{} : error_;
}

}  // namespace tarvik
