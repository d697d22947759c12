// SPDX-License-Identifier: MIT
// What a sweep's tally costs per parameter set beyond the plain tally of one set: the bytes on the
// heap, counted in this program of its own.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "support/heap_bytes.h"
#include "view/batch_tally.h"
#include "view/sweep_tally.h"

namespace tarvik::view {
namespace {

constexpr std::size_t kSets = 1000;

// Lines `from` to `to` of a sweep over FILEs of 1,000 lines, every 50th refused: each puzzle has
// a hardness that every set's steps follow, give or take, as they do on real collections, so
// that the sets' hardest puzzles are mostly the same ones; outcomes, attempts and depths vary
// by set. The plain tally gets the first set's rows.
void Feed(SweepTally& sweep, BatchTally& plain, std::int64_t from, std::int64_t to) {
  std::uint64_t state = 0x2545F4914F6CDD1Du + static_cast<std::uint64_t>(from);
  const auto next = [&state](std::uint64_t below) {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return static_cast<std::int64_t>(state % below);
  };
  const std::string puzzle(81, '0');
  char source[32];
  char stem[48];
  std::vector<SetRun> runs(kSets);
  for (std::int64_t k = from; k < to; ++k) {
    const auto operand = static_cast<std::size_t>(k / 1000);
    (void)std::snprintf(source, sizeof source, "collection-%04zu.txt", operand);
    const RowPlace place{operand, source, k % 1000 + 1};
    if (k % 50 == 0) {
      sweep.AddRefused(place, "a message longer than a short string's own storage");
      plain.AddRefused(place, "a message longer than a short string's own storage");
    } else {
      (void)std::snprintf(stem, sizeof stem, "collection-%04zu-%lld", operand,
                          static_cast<long long>(k % 1000 + 1));
      const std::int64_t hardness = next(4) == 0 ? next(20'000) : next(400);
      for (std::size_t set = 0; set < kSets; ++set) {
        runs[set].run = {static_cast<Outcome>(next(4)), 1 + next(300), hardness + next(100),
                         static_cast<std::int32_t>(next(9))};
      }
      sweep.AddLine(place, puzzle, 1, stem, runs);
      const std::string page = std::string(stem) + "-1.html";
      plain.AddGraded({place, puzzle, runs[0].run, 1, page, std::nullopt});
    }
    if (k % 1000 == 999) {
      sweep.FileDone(operand, source, 1000);
      plain.FileDone(operand, source, 1000);
    }
  }
}

TEST(SweepMemoryTest, AboutTwoKilobytesPerSetBeyondOneTally) {
  ParameterLists lists;
  lists.steps.clear();
  for (std::size_t k = 0; k < kSets; ++k) lists.steps.push_back(static_cast<std::int32_t>(5 + k));
  const RunParameters first = lists.Set(0, {});
  const std::int64_t before = testing::LiveHeapBytes();
  SweepTally sweep(lists, {});
  const std::int64_t sweepStart = testing::LiveHeapBytes();
  BatchTally plain(first);
  const std::int64_t plainStart = testing::LiveHeapBytes();
  Feed(sweep, plain, 0, 5'000);
  const std::int64_t full = testing::LiveHeapBytes();
  Feed(sweep, plain, 5'000, 10'000);
  const std::int64_t after = testing::LiveHeapBytes();
  // Whatever the plain tally holds is not the sweep's own; its copy of the lists is.
  const std::int64_t plainBytes = plainStart - sweepStart;
  const std::int64_t perSet = (after - before - plainBytes) / static_cast<std::int64_t>(kSets);
  std::printf("bytes per set beyond one tally: %lld (a record with no row yet: %lld)\n",
              static_cast<long long>(perSet),
              static_cast<long long>((sweepStart - before) / static_cast<std::int64_t>(kSets)));
  EXPECT_LE(perSet, 2048);
  // And no growth with the rows beyond the bins' first filling: 5% of slack for the shared rows.
  EXPECT_LE(after, full + full / 20);
  EXPECT_EQ(sweep.puzzles(), plain.totals().puzzles);
}

}  // namespace
}  // namespace tarvik::view
