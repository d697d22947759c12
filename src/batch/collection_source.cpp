// SPDX-License-Identifier: MIT
#include "batch/collection_source.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <new>
#include <string_view>
#include <vector>

#include "system/diagnostics.h"

namespace tarvik::batch {
namespace {

class DamagedCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "compressed data"; }
  std::string message(int value) const override {
    switch (static_cast<DamagedData>(value)) {
      case DamagedData::kEndsEarly: return "it ends in the middle of a member";
      case DamagedData::kTrailingBytes:
        return "the bytes after the last member are not another member";
      case DamagedData::kCheckMismatch: return "a member's check value does not match its data";
      case DamagedData::kInvalid: break;
    }
    return "it is not valid gzip data";
  }
};

// Enough of the start to tell every format named here apart.
constexpr std::size_t kHeadBytes = 10;

// The format `head` (the first bytes, fewer at the end of a short input) starts as, if any.
std::string_view FormatOf(std::string_view head) {
  const auto startsWith = [&](std::string_view magic, std::size_t at = 0) {
    return head.size() >= at + magic.size() && head.substr(at, magic.size()) == magic;
  };
  using namespace std::string_view_literals;
  if (startsWith("\x1f\x8b"sv)) return "gzip";
  if (startsWith("\xfd"
                 "7zXZ\0"sv))
    return "xz";
  if (startsWith("\x28\xb5\x2f\xfd"sv)) return "zstd";
  // "BZh", the block size, then the magic of a block or of the end of the stream.
  if (startsWith("BZh"sv) && head.size() > 3 && head[3] >= '1' && head[3] <= '9' &&
      (startsWith("\x31\x41\x59\x26\x53\x59"sv, 4) ||
       startsWith("\x17\x72\x45\x38\x50\x90"sv, 4))) {
    return "bzip2";
  }
  if (startsWith("PK\x03\x04"sv) || startsWith("PK\x05\x06"sv) || startsWith("PK\x07\x08"sv)) {
    return "zip";
  }
  return {};
}

// The input as it is: first the bytes looked at to tell its format, then the rest.
class PlainInput final : public CollectionInput {
 public:
  PlainInput(Source& raw, std::string head, std::error_code headError, bool ended)
      : raw_(raw),
        head_(std::move(head)),
        headError_(headError),
        ended_(ended),
        rawBytes_(head_.size()) {}

  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override {
    if (at_ < head_.size()) {
      const std::size_t n = std::min(size, head_.size() - at_);
      std::memcpy(buffer, head_.data() + at_, n);
      at_ += n;
      return n;
    }
    if (headError_) {
      error = headError_;
      headError_ = {};
      return 0;
    }
    // An input that has ended is not read again: a terminal would wait for a second end.
    if (ended_) return 0;
    const std::size_t n = raw_.Read(buffer, size, error);
    ended_ = n == 0;
    rawBytes_ += n;
    return n;
  }
  std::uint64_t rawBytesRead() const override { return rawBytes_; }

 private:
  Source& raw_;
  std::string head_;
  std::size_t at_ = 0;
  std::error_code headError_;
  bool ended_;
  std::uint64_t rawBytes_;
};

// gzip data decompressed, members one after the other as gzip itself reads them.
class GzipInput final : public CollectionInput {
 public:
  explicit GzipInput(std::unique_ptr<PlainInput> compressed)
      : compressed_(std::move(compressed)), in_(kInputBytes) {
    // 16 + the largest window: gzip members only, no zlib or raw deflate streams.
    if (inflateInit2(&stream_, 16 + MAX_WBITS) != Z_OK) throw std::bad_alloc();
  }
  GzipInput(const GzipInput&) = delete;
  GzipInput& operator=(const GzipInput&) = delete;
  ~GzipInput() override { inflateEnd(&stream_); }

  std::size_t Read(char* buffer, std::size_t size, std::error_code& error) override;
  std::uint64_t rawBytesRead() const override { return compressed_->rawBytesRead(); }

 private:
  static constexpr std::size_t kInputBytes = std::size_t{1} << 16;

  // Keeps the compressed bytes not yet taken and reads more after them; false at the end.
  bool MoreInput();
  void Fail(std::error_code why) {
    finished_ = true;
    pending_ = why;
  }

  std::unique_ptr<PlainInput> compressed_;
  std::vector<unsigned char> in_;
  z_stream stream_{};
  bool inputEnded_ = false;
  bool memberEnded_ = false;
  bool finished_ = false;
  std::error_code pending_;  // handed out once the bytes before it are
};

bool GzipInput::MoreInput() {
  if (inputEnded_) return false;
  const std::size_t kept = stream_.avail_in;
  if (kept > 0) std::memmove(in_.data(), stream_.next_in, kept);
  std::error_code error;
  const std::size_t n =
      compressed_->Read(reinterpret_cast<char*>(in_.data()) + kept, in_.size() - kept, error);
  stream_.next_in = in_.data();
  stream_.avail_in = static_cast<uInt>(kept + n);
  if (n == 0) {
    inputEnded_ = true;
    if (error) Fail(error);
  }
  return n > 0;
}

std::size_t GzipInput::Read(char* buffer, std::size_t size, std::error_code& error) {
  const auto room = static_cast<uInt>(std::min<std::size_t>(size, std::size_t{1} << 30));
  stream_.next_out = reinterpret_cast<Bytef*>(buffer);
  stream_.avail_out = room;
  while (!finished_ && stream_.avail_out == room) {
    if (memberEnded_) {
      // Another member, the end, or bytes that are neither.
      while (stream_.avail_in < 2 && MoreInput()) {
      }
      if (finished_) break;
      if (stream_.avail_in == 0) {
        finished_ = true;
        break;
      }
      if (stream_.avail_in < 2 || stream_.next_in[0] != 0x1f || stream_.next_in[1] != 0x8b) {
        Fail(MakeErrorCode(DamagedData::kTrailingBytes));
        break;
      }
      inflateReset(&stream_);
      memberEnded_ = false;
    }
    if (stream_.avail_in == 0 && !MoreInput()) {
      if (!finished_) Fail(MakeErrorCode(DamagedData::kEndsEarly));
      break;
    }
    const int result = inflate(&stream_, Z_NO_FLUSH);
    if (result == Z_STREAM_END) {
      memberEnded_ = true;
    } else if (result == Z_MEM_ERROR) {
      throw std::bad_alloc();
    } else if (result != Z_OK && result != Z_BUF_ERROR) {
      const std::string_view why = stream_.msg != nullptr ? stream_.msg : "";
      const bool check =
          why.find("check") != std::string_view::npos || why.find("crc") != std::string_view::npos;
      Fail(MakeErrorCode(check ? DamagedData::kCheckMismatch : DamagedData::kInvalid));
    }
  }
  const std::size_t produced = room - stream_.avail_out;
  if (produced == 0 && pending_) {
    error = pending_;
    pending_ = {};
  }
  return produced;
}

}  // namespace

const std::error_category& DamagedDataCategory() {
  static const DamagedCategory category;
  return category;
}

std::error_code MakeErrorCode(DamagedData reason) {
  return {static_cast<int>(reason), DamagedDataCategory()};
}

OpenedCollection OpenCollection(Source& raw, bool standardInput) {
  std::string head(kHeadBytes, '\0');
  std::size_t have = 0;
  std::error_code error;
  bool ended = false;
  while (have < head.size()) {
    const std::size_t n = raw.Read(head.data() + have, head.size() - have, error);
    if (n == 0) {
      ended = true;
      break;
    }
    have += n;
  }
  head.resize(have);
  const std::string_view format = FormatOf(head);
  OpenedCollection opened;
  if (!format.empty() && format != "gzip") {
    opened.refusal = "compressed with " + std::string(format) + ": decompress it first";
    // Standard input is where the decompressed text would go already.
    if (!standardInput)
      opened.refusal->append(" and pipe it into ").append(kProgramName).append(" --batch -");
    return opened;
  }
  auto plain = std::make_unique<PlainInput>(raw, std::move(head), error, ended);
  if (format == "gzip") {
    opened.input = std::make_unique<GzipInput>(std::move(plain));
  } else {
    opened.input = std::move(plain);
  }
  return opened;
}

}  // namespace tarvik::batch
