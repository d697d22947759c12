#pragma once

#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "control/input_reader.h"
#include "report/sinks.h"

namespace tarvik {

// Where a run reads Sudin.txt and writes its file copy of the report, Sudout.txt.
class RunFiles {
 public:
  virtual ~RunFiles() = default;
  // Opens the input; on failure returns null and sets `error`.
  virtual std::unique_ptr<Source> OpenInput(std::error_code& error) = 0;
  // Creates the output, or truncates an existing one in place; on failure null and `error`.
  virtual std::unique_ptr<Sink> CreateOutput(std::error_code& error) = 0;
};

// Sudin.txt and Sudout.txt in the working directory.
class DiskFiles final : public RunFiles {
 public:
  std::unique_ptr<Source> OpenInput(std::error_code& error) override;
  std::unique_ptr<Sink> CreateOutput(std::error_code& error) override;
};

// Both files in memory, for tests and fuzzing. No input means Sudin.txt is missing; an
// `outputError` makes creating Sudout.txt fail.
class MemoryFiles final : public RunFiles {
 public:
  std::optional<std::string> input;
  std::error_code outputError;
  bool outputCreated = false;

  std::unique_ptr<Source> OpenInput(std::error_code& error) override;
  std::unique_ptr<Sink> CreateOutput(std::error_code& error) override;
  // What was written to Sudout.txt.
  const std::string& output() const { return output_.text(); }

 private:
  StringSink output_;
};

}  // namespace tarvik
