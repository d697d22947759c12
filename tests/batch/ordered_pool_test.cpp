// SPDX-License-Identifier: MIT
#include "batch/ordered_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <new>
#include <thread>
#include <vector>

namespace tarvik::batch {
namespace {

struct Item {
  std::uint64_t number = 0;
  std::uint64_t processedAs = UINT64_MAX;
};

// Submits `count` items numbered from 0 to a pool of `threads` threads and a window of `window`,
// and returns the numbers in the order they were delivered.
struct PoolRun {
  unsigned threads = 1;
  std::size_t window = 4;
  std::uint64_t count = 0;
  // Called on processing each item, before it is marked processed.
  std::function<void(std::uint64_t)> onProcess = [](std::uint64_t) {};
  // Called on delivering each item, with the pool.
  std::function<void(std::uint64_t, OrderedPool<Item>&)> onDeliver = [](std::uint64_t,
                                                                        OrderedPool<Item>&) {};

  std::vector<std::uint64_t> Delivered(std::uint64_t* submitted = nullptr) const {
    std::vector<std::uint64_t> delivered;
    OrderedPool<Item>* self = nullptr;
    OrderedPool<Item> pool(
        threads, window,
        [&](Item& item, std::uint64_t place) {
          onProcess(item.number);
          item.processedAs = place;
        },
        [&](Item& item) {
          // An item is delivered only once processed, as itself.
          EXPECT_EQ(item.processedAs, item.number);
          delivered.push_back(item.number);
          onDeliver(item.number, *self);
        });
    self = &pool;
    std::uint64_t added = 0;
    while (added < count && pool.Submit([&](Item& item) { item.number = added; })) ++added;
    const std::uint64_t finished = pool.Finish();
    EXPECT_EQ(finished, delivered.size());
    if (submitted) *submitted = added;
    return delivered;
  }
};

std::vector<std::uint64_t> Numbers(std::uint64_t count) {
  std::vector<std::uint64_t> numbers(count);
  for (std::uint64_t k = 0; k < count; ++k) numbers[k] = k;
  return numbers;
}

TEST(OrderedPoolTest, ItemsFinishedOutOfOrderAreDeliveredInOrder) {
  for (const unsigned threads : {1u, 2u, 3u, 8u}) {
    // Every item of an even number waits until the item after it is processed (where threads
    // allow), so that later items are processed first and the window wraps many times.
    std::vector<std::atomic<bool>> processed(200);
    PoolRun run{threads, 4, 200};
    run.onProcess = [&](std::uint64_t number) {
      if (threads > 1 && number % 2 == 0 && number + 1 < processed.size()) {
        for (int spins = 0; !processed[number + 1] && spins < 200000; ++spins) {
          std::this_thread::yield();
        }
      }
      processed[number] = true;
    };
    EXPECT_EQ(run.Delivered(), Numbers(200)) << threads << " threads";
  }
}

// A worker that fails on an item stops the pool before it: every earlier item is still
// delivered, none from it on, and the submitter is refused further items.
TEST(OrderedPoolTest, AFailingItemStopsThePoolBeforeIt) {
  for (const unsigned threads : {1u, 2u, 8u}) {
    for (const std::uint64_t failing : {0u, 1u, 37u, 99u}) {
      OrderedPool<Item>* pool = nullptr;
      std::vector<std::uint64_t> delivered;
      OrderedPool<Item> p(
          threads, 8,
          [&](Item& item, std::uint64_t place) {
            item.processedAs = place;
            if (place == failing) pool->StopBefore(place);
          },
          [&](Item& item) { delivered.push_back(item.number); });
      pool = &p;
      std::uint64_t added = 0;
      while (added < 1000 && p.Submit([&](Item& item) { item.number = added; })) ++added;
      p.Finish();
      EXPECT_EQ(delivered, Numbers(failing)) << threads << " threads, failing " << failing;
      EXPECT_LT(added, 1000u) << threads << " threads, failing " << failing;
    }
  }
}

// A delivery that stops the pool (standard output failed) is the last one.
TEST(OrderedPoolTest, AStopWhileItemsAreInFlightDeliversNothingMore) {
  for (const unsigned threads : {1u, 2u, 8u}) {
    PoolRun run{threads, 16, 1000};
    run.onDeliver = [](std::uint64_t number, OrderedPool<Item>& pool) {
      if (number == 10) pool.Stop();
    };
    std::uint64_t submitted = 0;
    EXPECT_EQ(run.Delivered(&submitted), Numbers(11)) << threads << " threads";
    EXPECT_LT(submitted, 1000u);
  }
}

TEST(OrderedPoolTest, ManyThreadsOnFewItems) {
  for (const std::uint64_t count : {0u, 1u, 3u}) {
    const PoolRun run{64, 256, count};
    EXPECT_EQ(run.Delivered(), Numbers(count)) << count << " items";
  }
}

// A fill that throws (memory ran out while the submitter set its item) adds nothing: the item
// submitted next takes its place, and no item is delivered half set or twice.
TEST(OrderedPoolTest, AFillThatThrowsAddsNothing) {
  for (const unsigned threads : {1u, 4u}) {
    std::vector<std::uint64_t> delivered;
    OrderedPool<Item> pool(
        threads, 4, [](Item& item, std::uint64_t place) { item.processedAs = place; },
        [&](Item& item) {
          EXPECT_EQ(item.processedAs, item.number);
          delivered.push_back(item.number);
        });
    std::uint64_t added = 0;
    for (int k = 0; k < 12; ++k) {
      try {
        pool.Submit([&](Item& item) {
          if (k % 3 == 1) throw std::bad_alloc();
          item.number = added;
        });
        ++added;
      } catch (const std::bad_alloc&) {
      }
    }
    EXPECT_EQ(pool.added(), 8u) << threads;
    pool.Finish();
    EXPECT_EQ(delivered, Numbers(8)) << threads;
  }
}

// Waits until `done` holds, for as long as a slow machine may take; false if it never does.
template <class Done>
bool Eventually(Done done) {
  for (int k = 0; k < 20000 && !done(); ++k) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return done();
}

// The idle hook runs after deliveries while the submitter waits, and only then, on whichever thread
// delivers: each time the submitter turns idle, and after each item delivered while it is.
TEST(OrderedPoolTest, TheIdleHookRunsOnlyWhileTheSubmitterWaits) {
  for (const unsigned threads : {1u, 4u}) {
    std::atomic<int> delivered = 0;
    std::atomic<int> pauses = 0;
    std::atomic<int> seenAtPause = -1;  // items delivered when the hook last ran
    OrderedPool<Item> pool(
        threads, 4, [](Item&, std::uint64_t) {}, [&](Item&) { ++delivered; },
        [&] {
          seenAtPause = delivered.load();
          ++pauses;
        });
    for (int k = 0; k < 10; ++k) pool.Submit([](Item&) {});
    EXPECT_TRUE(Eventually([&] { return delivered == 10; })) << threads;
    EXPECT_EQ(pauses, 0) << threads;
    pool.Idle();
    EXPECT_TRUE(Eventually([&] { return seenAtPause == 10; })) << threads;
    pool.Submit([](Item&) {});  // delivered while the submitter is still idle
    EXPECT_TRUE(Eventually([&] { return seenAtPause == 11; })) << threads;
    pool.Busy();
    const int pausesWhileIdle = pauses;
    pool.Submit([](Item&) {});
    pool.Finish();
    EXPECT_EQ(delivered, 12) << threads;
    EXPECT_EQ(pauses, pausesWhileIdle) << threads;
  }
}

}  // namespace
}  // namespace tarvik::batch
