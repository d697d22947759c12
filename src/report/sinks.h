#pragma once

#include <cstdio>
#include <string>
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

// Collects everything in memory.
class StringSink final : public Sink {
 public:
  std::error_code Write(std::string_view bytes) override;
  const std::string& text() const { return text_; }

 private:
  std::string text_;
};

// Refuses every write with one error: a console that was closed at start, or a failing disk in
// tests. `accepted` bytes are taken before the first refusal.
class FailingSink final : public Sink {
 public:
  explicit FailingSink(std::error_code error, std::size_t accepted = 0)
      : error_(error), room_(accepted) {}
  std::error_code Write(std::string_view bytes) override;
  const std::string& text() const { return text_; }

 private:
  std::error_code error_;
  std::size_t room_;
  std::string text_;
};

// Writes to a C stream without buffering of its own (the channel in front of it buffers).
// Closes the stream at the end if it owns it, else only flushes it.
class StdioSink final : public Sink {
 public:
  StdioSink(std::FILE* stream, bool owned);
  ~StdioSink() override;
  StdioSink(const StdioSink&) = delete;
  StdioSink& operator=(const StdioSink&) = delete;

  std::error_code Write(std::string_view bytes) override;
  std::error_code Close() override;

 private:
  std::FILE* stream_;
  bool owned_;
};

}  // namespace tarvik
