// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "system/source.h"

namespace tarvik::batch {

// The error a Source gives for compressed data that cannot be read to its end: damaged,
// truncated, or followed by bytes that are no further member. Its message is the reason.
const std::error_category& DamagedDataCategory();

enum class DamagedData {
  kEndsEarly = 1,  // the input ends inside a member
  kTrailingBytes,  // what follows the last member is no member
  kCheckMismatch,  // a member's check value or length does not match its data
  kInvalid,        // not valid gzip data
};

std::error_code MakeErrorCode(DamagedData reason);

// The text of a collection, decompressed if it is compressed with gzip.
class CollectionInput : public Source {
 public:
  // The bytes taken from the underlying input so far, compressed or not, for progress.
  virtual std::uint64_t rawBytesRead() const = 0;
};

// One operand's input as the batch reads it: its text, or why it is not read at all.
struct OpenedCollection {
  std::unique_ptr<CollectionInput> input;  // null when refused
  // Set for data compressed in a format that is not read: the message after "FILE: ", such as
  // "compressed with xz: decompress it first and pipe it into tarvik --batch -" (without "and
  // pipe..." on standard input).
  std::optional<std::string> refusal;
};

// Looks at the first bytes of `raw` (a file or standard input; it is read once, never sought):
// gzip data is read through zlib, members one after the other, whatever the name; xz, zstd,
// bzip2 and zip data are refused by name; anything else is read as it is. `raw` must outlive the
// input returned. A read error there is kept for the input's first read after the bytes before it.
// `standardInput`: `raw` is standard input.
OpenedCollection OpenCollection(Source& raw, bool standardInput = false);

}  // namespace tarvik::batch
