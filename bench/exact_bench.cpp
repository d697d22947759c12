// SPDX-License-Identifier: MIT
// The exact solver alone on whole collections: how many puzzles have 0, 1 and 2+ solutions, and
// puzzles per second (processor time, best of several rounds over the file). The puzzles are read
// first; only the counting is timed. With --rounds 0 it counts once and times nothing, for
// callgrind (bench/exact_speed.sh).
//   tarvik_exact_bench [--rounds N] FILE...
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "exact/exact_solver.h"

namespace {

using tarvik::exact::Cells;

std::vector<Cells> PuzzlesOf(const char* file) {
  std::vector<Cells> puzzles;
  std::ifstream in(file, std::ios::binary);
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 81 || line[0] == '#') continue;
    Cells cells{};
    for (std::size_t k = 0; k < 81; ++k) {
      const char c = line[k];
      cells[k] = static_cast<std::uint8_t>(c >= '1' && c <= '9' ? c - '0' : 0);
    }
    puzzles.push_back(cells);
  }
  return puzzles;
}

double ProcessorSeconds() {
  timespec t{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

}  // namespace

int main(int argc, char* argv[]) {
  int rounds = 5;
  int first = 1;
  if (argc > 2 && std::string_view(argv[1]) == "--rounds") {
    rounds = std::stoi(argv[2]);
    first = 3;
  }
  if (first >= argc) {
    std::cerr << "usage: tarvik_exact_bench [--rounds N] FILE...\n";
    return 64;
  }
  std::printf("%-40s %8s %6s %6s %6s %12s %10s\n", "collection", "puzzles", "0", "1", "2+",
              "puzzles/s", "us/puzzle");
  for (int f = first; f < argc; ++f) {
    const std::vector<Cells> puzzles = PuzzlesOf(argv[f]);
    int counts[3] = {};
    for (const Cells& p : puzzles) ++counts[static_cast<int>(tarvik::exact::CountSolutions(p))];
    // Each round counts the whole file; the best round is the one least disturbed.
    double best = 0;
    for (int r = 0; r < rounds; ++r) {
      const double start = ProcessorSeconds();
      int sum = 0;
      for (const Cells& p : puzzles) sum += static_cast<int>(tarvik::exact::CountSolutions(p));
      const double seconds = ProcessorSeconds() - start;
      if (sum < 0) return 1;  // keeps the loop
      best = r == 0 ? seconds : std::min(best, seconds);
    }
    std::string name = argv[f];
    name = name.substr(name.find_last_of('/') + 1);
    const double n = static_cast<double>(puzzles.size());
    if (rounds > 0 && best > 0) {
      std::printf("%-40s %8zu %6d %6d %6d %12.0f %10.2f\n", name.c_str(), puzzles.size(), counts[0],
                  counts[1], counts[2], n / best, best / n * 1e6);
    } else {
      std::printf("%-40s %8zu %6d %6d %6d %12s %10s\n", name.c_str(), puzzles.size(), counts[0],
                  counts[1], counts[2], "-", "-");
    }
  }
  return 0;
}
