// SPDX-License-Identifier: MIT
// The tally's memory stays fixed whatever the batch's size: the bytes on the heap, counted in
// this program of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/heap_bytes.h"
#include "view/batch_tally.h"

namespace tarvik::view {
namespace {

// Rows `from` to `to` of a batch of 100 lines per FILE, every 7th refused, each puzzle harder
// than all before it, so that every one enters the hardest; names of one length throughout.
void Feed(BatchTally& tally, std::int64_t from, std::int64_t to) {
  const std::string puzzle(81, '0');
  char source[32];
  char page[32];
  for (std::int64_t k = from; k < to; ++k) {
    const auto operand = static_cast<std::size_t>(k / 100);
    (void)std::snprintf(source, sizeof source, "collection-%07zu.txt", operand);
    const RowPlace place{operand, source, k % 100 + 1};
    if (k % 7 == 0) {
      tally.AddRefused(place, "a message longer than a short string's own storage");
      continue;
    }
    (void)std::snprintf(page, sizeof page, "collection-%07zu-%03lld.html", operand,
                        static_cast<long long>(k % 100 + 1));
    GradedRow row;
    row.place = place;
    row.puzzle = puzzle;
    row.run = {static_cast<Outcome>(k % 4), k % 1000, k, static_cast<std::int32_t>(k % 12)};
    row.solutions = static_cast<int>(k % 3);
    row.page = page;
    tally.AddGraded(row);
    if (k % 100 == 99) tally.FileDone(operand, source, 100);
  }
}

TEST(TallyMemoryTest, HeapDoesNotGrowWithTheRows) {
  BatchTally tally({.lookBack = 4, .steps = 40, .sequence = "4123", .solutions = true});
  Feed(tally, 0, 20'000);  // every bounded part full
  const std::int64_t full = testing::LiveHeapBytes();
  Feed(tally, 20'000, 220'000);
  const std::int64_t after = testing::LiveHeapBytes();
  EXPECT_LE(after, full);
  EXPECT_EQ(tally.totals().puzzles + tally.totals().refused, 220'000);
  EXPECT_EQ(tally.hardest().front().run.steps, 219'999);
}

}  // namespace
}  // namespace tarvik::view
