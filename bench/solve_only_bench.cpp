// SPDX-License-Identifier: MIT
// Solves every puzzle of a collection in-process, without any report: the yardstick for what the
// batch mode adds around the solve (bench/batch_overhead.sh).
//   tarvik_solve_only FILE
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "batch/grading.h"
#include "control/run_parameters.h"

int main(int argc, char* argv[]) {
  if (argc != 2) {
    std::cerr << "usage: tarvik_solve_only FILE\n";
    return 64;
  }
  const tarvik::RunParameters parameters;
  std::ifstream in(argv[1], std::ios::binary);
  long solved = 0;
  long puzzles = 0;
  for (std::string line; std::getline(in, line);) {
    if (line.size() < 81 || line[0] == '#') continue;
    tarvik::Grid start;
    for (int k = 0; k < 81; ++k) {
      const char c = line[static_cast<std::size_t>(k)];
      start(k / 9 + 1, k % 9 + 1) = static_cast<std::int8_t>(c >= '1' && c <= '9' ? c - '0' : 0);
    }
    tarvik::PuzzleState st = tarvik::batch::StateFor(start, parameters);
    const tarvik::batch::Grade grade = tarvik::batch::GradePuzzle(st);
    ++puzzles;
    if (grade.summary.outcome == tarvik::Outcome::kSolved) ++solved;
  }
  std::printf("%ld puzzles, %ld solved\n", puzzles, solved);
  return 0;
}
