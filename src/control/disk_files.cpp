#include <cerrno>
#include <cstdio>

#include "control/run_files.h"

namespace tarvik {
namespace {

std::error_code Errno() {
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

class StdioSource final : public Source {
 public:
  explicit StdioSource(std::FILE* stream) : stream_(stream) {}
  ~StdioSource() override { std::fclose(stream_); }
  StdioSource(const StdioSource&) = delete;
  StdioSource& operator=(const StdioSource&) = delete;

  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    errno = 0;
    const std::size_t n = std::fread(buffer, 1, size, stream_);
    if (n == 0 && std::ferror(stream_)) error = Errno();
    return n;
  }

 private:
  std::FILE* stream_;
};

// Hands a sink's writes on to another sink it does not own.
class BorrowedSink final : public Sink {
 public:
  explicit BorrowedSink(Sink& target) : target_(target) {}
  std::error_code Write(std::string_view bytes) override { return target_.Write(bytes); }
  std::error_code Close() override { return target_.Close(); }

 private:
  Sink& target_;
};

}  // namespace

std::unique_ptr<Source> DiskFiles::OpenInput(std::error_code& error) {
  errno = 0;
  std::FILE* stream = std::fopen("Sudin.txt", "rb");
  if (stream == nullptr) {
    error = Errno();
    return nullptr;
  }
  return std::make_unique<StdioSource>(stream);
}

std::unique_ptr<Sink> DiskFiles::CreateOutput(std::error_code& error) {
  errno = 0;
  std::FILE* stream = std::fopen("Sudout.txt", "wb");
  if (stream == nullptr) {
    error = Errno();
    return nullptr;
  }
  return std::make_unique<StdioSink>(stream, /*owned=*/true);
}

std::unique_ptr<Source> MemoryFiles::OpenInput(std::error_code& error) {
  if (!input) {
    error = std::make_error_code(std::errc::no_such_file_or_directory);
    return nullptr;
  }
  return std::make_unique<StringSource>(*input);
}

std::unique_ptr<Sink> MemoryFiles::CreateOutput(std::error_code& error) {
  if (outputError) {
    error = outputError;
    return nullptr;
  }
  outputCreated = true;
  return std::make_unique<BorrowedSink>(output_);
}

}  // namespace tarvik
