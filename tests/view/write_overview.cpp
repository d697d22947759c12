// SPDX-License-Identifier: MIT
// Writes the overview of a made-up batch, for the checks of real pages in a browser:
//   write_overview PAGE ROWS
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <string>

#include "synthetic_batch.h"
#include "view/overview_page.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: write_overview PAGE ROWS\n";
    return 2;
  }
  tarvik::view::BatchTally tally(
      {.lookBack = 4, .steps = 40, .sequence = "4123", .solutions = true});
  tarvik::view::testing::FeedSyntheticBatch(tally, std::atoll(argv[2]));
  const std::string page = tarvik::view::RenderOverview(tally, "pages/");
  std::ofstream out(argv[1], std::ios::binary);
  out << page;
  out.close();
  if (!out) {
    std::cerr << "write_overview: cannot write " << argv[1] << '\n';
    return 1;
  }
  return 0;
}
