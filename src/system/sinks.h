// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string_view>
#include <system_error>

namespace tarvik {

// Where the bytes of one report channel go: standard output, Sudout.txt, or memory in tests.
class Sink {
 public:
  virtual ~Sink() = default;
  // Hands `bytes` over; an error means they were not all written.
  virtual std::error_code Write(std::string_view bytes) = 0;
  // Ends the channel (closes a file); an error means earlier bytes may be lost.
  virtual std::error_code Close() { return {}; }
};

// Takes every write and keeps nothing: a channel whose bytes go nowhere.
class NullSink final : public Sink {
 public:
  std::error_code Write(std::string_view bytes) override;
};

// Refuses every write with one error: a standard output that was closed at start. `accepted`
// bytes are taken (and dropped) before the first refusal.
class FailingSink : public Sink {
 public:
  explicit FailingSink(std::error_code error, std::size_t accepted = 0)
      : error_(error), room_(accepted) {}
  std::error_code Write(std::string_view bytes) override;

 protected:
  // The bytes taken before the refusal; tests keep them.
  virtual void Take(std::string_view /*bytes*/) {}

 private:
  std::error_code error_;
  std::size_t room_;
};

}  // namespace tarvik
