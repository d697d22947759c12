// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

namespace tarvik {

// What every puzzle of a batch is worked with: the parameters a Sudin.txt gives the classic run,
// and whether each puzzle's solutions are counted too.
struct RunParameters {
  std::int32_t lookBack = 4;
  std::int32_t steps = 40;
  std::string sequence = "4123";  // as given, repeated from its start to fill the steps
  std::int32_t printLevel = 0;    // of the report files
  bool solutions = false;         // count each puzzle's solutions
};

}  // namespace tarvik
