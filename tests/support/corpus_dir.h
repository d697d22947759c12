// SPDX-License-Identifier: MIT
#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace tarvik::testing {

// The folder of the public collections. CTest hands it to the tests that read it in the
// environment variable TARVIK_CORPUS_DIR (tests/CMakeLists.txt), so that another folder
// rebuilds nothing; empty when the variable is unset.
inline std::filesystem::path CorpusDir() {
  const char* dir = std::getenv("TARVIK_CORPUS_DIR");
  return dir != nullptr ? std::filesystem::path(dir) : std::filesystem::path();
}

// Why the collections cannot be read, for GTEST_SKIP; nothing when they can.
inline std::optional<std::string> CorpusMissing() {
  const std::filesystem::path dir = CorpusDir();
  if (dir.empty()) {
    return "TARVIK_CORPUS_DIR is not set (ctest sets it from the CMake variable of that name)";
  }
  if (!std::filesystem::is_directory(dir)) {
    return "the public collections are not at " + dir.string() +
           " (configure with -DTARVIK_CORPUS_DIR=FOLDER)";
  }
  return std::nullopt;
}

}  // namespace tarvik::testing

// Skips the test, saying why, where the collections cannot be read (in a test that includes
// GoogleTest).
#define SKIP_WITHOUT_COLLECTIONS()                               \
  if (const auto missing = ::tarvik::testing::CorpusMissing()) { \
    GTEST_SKIP() << *missing;                                    \
  }
