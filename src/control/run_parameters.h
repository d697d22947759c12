// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

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

// The values a sweep tries for each parameter, in the order given, none repeated. A batch works
// every combination: its parameter sets, numbered from 1 with the look-back varying slowest and
// the sequence fastest. One value of each is a plain batch.
struct ParameterLists {
  std::vector<std::int32_t> lookBacks{4};
  std::vector<std::int32_t> steps{40};
  std::vector<std::string> sequences{"4123"};

  std::size_t Count() const { return lookBacks.size() * steps.size() * sequences.size(); }
  // Set `k` (from 0) over `base`'s other parameters.
  RunParameters Set(std::size_t k, const RunParameters& base) const {
    RunParameters set = base;
    set.sequence = sequences[k % sequences.size()];
    k /= sequences.size();
    set.steps = steps[k % steps.size()];
    set.lookBack = lookBacks[k / steps.size()];
    return set;
  }
  // Set `k` (from 0) as LOOKBACK/STEPS/SEQUENCE.
  std::string Label(std::size_t k) const {
    const std::size_t sequence = k % sequences.size();
    k /= sequences.size();
    return std::to_string(lookBacks[k / steps.size()]) + "/" +
           std::to_string(steps[k % steps.size()]) + "/" + sequences[sequence];
  }
};

}  // namespace tarvik
