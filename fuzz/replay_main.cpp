// SPDX-License-Identifier: MIT
// Runs the fuzz target's checks over saved inputs, without libFuzzer: each argument is a file, or a
// directory whose files are all run. Exit status 0 when every check held, 1 otherwise.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

#include "run_check.h"

namespace fs = std::filesystem;

int main(int argc, char* argv[]) {
  std::vector<fs::path> inputs;
  for (int k = 1; k < argc; ++k) {
    const fs::path arg = argv[k];
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg)) {
        if (entry.is_regular_file()) inputs.push_back(entry.path());
      }
    } else {
      inputs.push_back(arg);
    }
  }
  std::sort(inputs.begin(), inputs.end());
  if (inputs.empty()) {
    std::cerr << "usage: tarvik_fuzz_replay FILE_OR_DIRECTORY...\n";
    return 2;
  }
  int failures = 0;
  for (const fs::path& path : inputs) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
      std::cerr << path.string() << ": cannot be read\n";
      ++failures;
      continue;
    }
    const std::string bytes(std::istreambuf_iterator<char>(in), {});
    if (auto failure = tarvik::fuzz::CheckRun(bytes);
        failure || (failure = tarvik::fuzz::CheckBatch(bytes))) {
      std::cerr << path.string() << ": " << *failure << '\n';
      ++failures;
    }
  }
  std::cout << inputs.size() - static_cast<std::size_t>(failures) << " of " << inputs.size()
            << " inputs passed\n";
  return failures == 0 ? 0 : 1;
}
