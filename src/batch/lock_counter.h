// SPDX-License-Identifier: MIT
#pragma once

// A measurement aid for the lock-counter benchmark program (bench/CMakeLists.txt, which builds
// batch.cpp with TARVIK_LOCK_COUNTER) and nothing else: a mutex that counts how often it is taken
// and how long it is held. Where valgrind's headers are installed it also toggles callgrind's
// collection while held, so that a run under `valgrind --tool=callgrind --collect-atstart=no`
// counts the instructions inside the lock alone, a figure that the machine's load does not move.

#include <atomic>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <ostream>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_TOGGLE_COLLECT
#endif

namespace tarvik::batch {

class CountingMutex {
 public:
  void lock() {
    mutex_.lock();
    since_ = Clock::now();
    CALLGRIND_TOGGLE_COLLECT;
  }
  void unlock() {
    CALLGRIND_TOGGLE_COLLECT;
    const auto held = std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now() - since_);
    held_.fetch_add(static_cast<std::uint64_t>(held.count()), std::memory_order_relaxed);
    acquisitions_.fetch_add(1, std::memory_order_relaxed);
    mutex_.unlock();
  }

  std::uint64_t acquisitions() const { return acquisitions_.load(std::memory_order_relaxed); }
  std::uint64_t nanoseconds() const { return held_.load(std::memory_order_relaxed); }

 private:
  using Clock = std::chrono::steady_clock;
  std::mutex mutex_;
  Clock::time_point since_;  // written and read by the holder alone
  std::atomic<std::uint64_t> acquisitions_{0};
  std::atomic<std::uint64_t> held_{0};
};

// One line on `out`: acquisitions, the time held in all and per row.
inline void SayLockHeld(std::ostream& out, const CountingMutex& mutex, std::uint64_t rows) {
  out << "lock held: " << mutex.acquisitions() << " acquisitions, " << mutex.nanoseconds()
      << " ns in all, " << (rows == 0 ? 0 : mutex.nanoseconds() / rows) << " ns per row\n";
}

}  // namespace tarvik::batch
