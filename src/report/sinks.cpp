#include "report/sinks.h"

#include <cerrno>

namespace tarvik {
namespace {

std::error_code LastError() {
  // Some C libraries fail a stream without setting errno; say so rather than print "Success".
  return std::error_code(errno != 0 ? errno : EIO, std::generic_category());
}

}  // namespace

std::error_code StringSink::Write(std::string_view bytes) {
  text_.append(bytes);
  return {};
}

std::error_code FailingSink::Write(std::string_view bytes) {
  const std::size_t taken = bytes.size() < room_ ? bytes.size() : room_;
  text_.append(bytes.substr(0, taken));
  room_ -= taken;
  return taken == bytes.size() ? std::error_code{} : error_;
}

StdioSink::StdioSink(std::FILE* stream, bool owned) : stream_(stream), owned_(owned) {
  std::setvbuf(stream_, nullptr, _IONBF, 0);
}

StdioSink::~StdioSink() {
  if (owned_ && stream_ != nullptr) std::fclose(stream_);
}

std::error_code StdioSink::Write(std::string_view bytes) {
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), stream_) != bytes.size()) return LastError();
  return {};
}

std::error_code StdioSink::Close() {
  errno = 0;
  int result = 0;
  if (owned_) {
    result = std::fclose(stream_);
    stream_ = nullptr;
  } else {
    result = std::fflush(stream_);
  }
  return result == 0 ? std::error_code{} : LastError();
}

}  // namespace tarvik
