// SPDX-License-Identifier: MIT
#pragma once

#include <optional>
#include <span>
#include <string>

#include "system/files.h"

namespace tarvik {

// A file that an output must not be: how messages name it ("Sudin.txt", "the input x.txt",
// "standard output") and which file it is, when that is known.
struct TakenFile {
  std::string what;
  std::optional<FileId> id;
};

// The reason to refuse the file `id`, "is the same file as WHAT", for the first of `taken` that
// it is; none when it is none of them or not known.
inline std::optional<std::string> SameFileAs(std::optional<FileId> id,
                                             std::span<const TakenFile> taken) {
  if (!id) return std::nullopt;
  for (const TakenFile& file : taken) {
    if (file.id == id) return "is the same file as " + file.what;
  }
  return std::nullopt;
}

}  // namespace tarvik
