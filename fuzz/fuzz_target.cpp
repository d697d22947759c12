// SPDX-License-Identifier: MIT
// libFuzzer entry: the bytes are the content of Sudin.txt, and of a collection read by the batch
// mode; every run is checked by CheckRun and CheckBatch, and a failed check stops the fuzzer with
// the input saved.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string_view>

#include "run_check.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  if (auto failure = tarvik::fuzz::CheckRun(input);
      failure || (failure = tarvik::fuzz::CheckBatch(input))) {
    std::fprintf(stderr, "check failed: %s\n", failure->c_str());
    __builtin_trap();
  }
  return 0;
}
