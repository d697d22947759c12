// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>
#include <vector>

namespace tarvik::batch {

// Items submitted in order are processed on worker threads, in any order, and delivered in the
// order they were submitted, each as soon as it and every item before it are processed.
//
// At most `window` items are in flight: Submit waits for room, so memory stays bounded whatever the
// number of items. Each item lives in one slot of the window from Submit until it is delivered;
// only the thread that took an item for processing marks it processed, so a slot is never reused
// before its own item was delivered. Delivery runs on whichever thread completes the run of
// processed items (a worker, or the submitting thread), one thread at a time and with no lock held.
//
// With no workers (threads 1) items are processed and delivered inside Submit.
//
// One stop path: StopBefore(n) keeps every item before the n-th (counted from 0) going, processed
// and delivered, and none from it on; Submit then refuses further items.
//
// The process, deliver and pause hooks must not throw: a failing item stops the pool instead. A
// `fill` that throws from Submit leaves the pool as it was.
//
// `Mutex` is the lock of the window: std::mutex, or one that measures how it is held.
template <class Item, class Mutex = std::mutex>
class OrderedPool {
 public:
  // Processes one item, given with its place in the submission order; may run on any thread, at the
  // same time as other items are processed.
  using Process = std::function<void(Item& item, std::uint64_t place)>;
  // Delivers one item; called in submission order, by one thread at a time.
  using Deliver = std::function<void(Item& item)>;
  // Called by the delivering thread after its deliveries while the submitter is idle.
  using Pause = std::function<void()>;

  OrderedPool(
      unsigned threads, std::size_t window, Process process, Deliver deliver, Pause pause = [] {})
      : process_(std::move(process)),
        deliver_(std::move(deliver)),
        pause_(std::move(pause)),
        threads_(threads) {
    // Without workers each item is delivered before the next is submitted: one slot will do.
    slots_.resize(threads <= 1 ? 1 : std::max<std::size_t>(window, 1));
    if (threads <= 1) return;
    for (unsigned k = 0; k < threads; ++k) {
      try {
        workers_.emplace_back([this] { Work(); });
      } catch (const std::system_error&) {
        break;  // go on with the threads that started
      } catch (const std::bad_alloc&) {
        Finish();  // the threads that started are joined before the failure goes on
        throw;
      }
    }
  }
  ~OrderedPool() { Finish(); }
  OrderedPool(const OrderedPool&) = delete;
  OrderedPool& operator=(const OrderedPool&) = delete;

  // Adds an item, waiting for room first: `fill(item)` sets it in its slot, which keeps what the
  // slot's last item left (so that its buffers are reused). False, and nothing added, once the
  // pool stopped.
  template <class Fill>
  bool Submit(Fill&& fill) {
    std::unique_lock lock(mutex_);
    if (added_ - delivered_ >= slots_.size() && added_ < stopAt_) {
      // Waits until half the window is free, not one slot: one wake-up per many items.
      roomWanted_ = true;
      room_.wait(lock, [&] { return HalfFree() || added_ >= stopAt_; });
      roomWanted_ = false;
    }
    if (added_ >= stopAt_) return false;
    const std::uint64_t place = added_;
    Slot& slot = SlotOf(place);
    std::forward<Fill>(fill)(slot.item);
    ++added_;
    slot.processed = false;
    if (!workers_.empty()) {
      work_.notify_one();
      DeliverReady(lock);
      return true;
    }
    // No workers: every earlier item is delivered, so this one is next.
    ++claimed_;
    lock.unlock();
    process_(slot.item, place);
    const bool deliver = place < stopAt_.load();  // unless its processing stopped the pool
    if (deliver) deliver_(slot.item);
    lock.lock();
    slot.processed = true;
    if (deliver) {
      delivered_ = place + 1;
      pausePending_ = true;
    }
    if (idleWanted_) DeliverReady(lock);
    return true;
  }

  // Delivers what is ready and has the pause hook run, by this thread or by the one delivering now:
  // for a submitter about to wait for its next item.
  void Idle() {
    std::unique_lock lock(mutex_);
    idleWanted_ = true;
    pausePending_ = true;
    DeliverReady(lock);
  }
  // The submitter has its next item at hand again.
  void Busy() {
    const std::lock_guard lock(mutex_);
    idleWanted_ = false;
  }

  // Keeps the items before the n-th going and stops every other; the earliest stop holds.
  void StopBefore(std::uint64_t n) {
    const std::lock_guard lock(mutex_);
    stopAt_ = std::min(stopAt_.load(), n);
    room_.notify_all();
    work_.notify_all();
  }
  // Stops everything not delivered yet.
  void Stop() { StopBefore(0); }
  bool stopped() const {
    const std::lock_guard lock(mutex_);
    return stopAt_ != kNever;
  }
  // The number of items submitted so far.
  std::uint64_t added() const {
    const std::lock_guard lock(mutex_);
    return added_;
  }

  // Waits until every item that is to be delivered was, then lets the workers go. Returns the
  // number of items delivered.
  std::uint64_t Finish() {
    {
      std::unique_lock lock(mutex_);
      closing_ = true;
      work_.notify_all();
      finished_.wait(lock, [&] { return delivered_ >= Last() || workers_.empty(); });
    }
    for (std::thread& worker : workers_) worker.join();
    workers_.clear();
    std::unique_lock lock(mutex_);
    DeliverReady(lock);
    return delivered_;
  }

  // The window's lock, for a mutex that counts how it was held.
  const Mutex& mutex() const { return mutex_; }

 private:
  static constexpr std::uint64_t kNever = UINT64_MAX;
  using Condition = std::conditional_t<std::is_same_v<Mutex, std::mutex>, std::condition_variable,
                                       std::condition_variable_any>;

  struct Slot {
    Item item{};
    bool processed = false;
  };
  Slot& SlotOf(std::uint64_t place) { return slots_[place % slots_.size()]; }
  bool HalfFree() const { return added_ - delivered_ <= slots_.size() / 2; }
  // Where the items that are to be processed and delivered end, under the lock.
  std::uint64_t Last() const { return std::min(added_, stopAt_.load()); }

  void Work() {
    std::unique_lock lock(mutex_);
    for (;;) {
      work_.wait(lock, [&] { return claimed_ < Last() || closing_; });
      if (claimed_ >= Last()) {
        if (closing_) return;
        continue;
      }
      // Several items at a time while many wait: handing one over can cost more than an easy one
      // takes to process.
      const std::uint64_t first = claimed_;
      const std::uint64_t waiting = Last() - claimed_;
      claimed_ += std::clamp<std::uint64_t>(waiting / (std::uint64_t{2} * threads_), 1, 16);
      const std::uint64_t end = claimed_;
      lock.unlock();
      // The slots taken are this thread's alone until they are marked processed.
      for (std::uint64_t place = first; place < end && place < stopAt_.load(); ++place) {
        process_(SlotOf(place).item, place);
      }
      lock.lock();
      for (std::uint64_t place = first; place < end; ++place) SlotOf(place).processed = true;
      DeliverReady(lock);
    }
  }

  // Delivers the processed items that are next in order, unless another thread is delivering now
  // (that thread sees them before it stops, since it looks again under the lock).
  void DeliverReady(std::unique_lock<Mutex>& lock) {
    if (delivering_) return;
    delivering_ = true;
    for (;;) {
      const std::uint64_t from = delivered_;
      const std::uint64_t last = Last();
      std::uint64_t ready = from;
      while (ready < last && SlotOf(ready).processed) ++ready;
      if (ready > from) {
        lock.unlock();
        // A delivery may stop the pool (a failed write): nothing after the stop is delivered.
        std::uint64_t place = from;
        for (; place < ready && place < stopAt_.load(); ++place) deliver_(SlotOf(place).item);
        lock.lock();
        delivered_ = place;
        pausePending_ = true;
        if (roomWanted_ && HalfFree()) room_.notify_all();
      } else if (idleWanted_ && pausePending_) {
        pausePending_ = false;
        lock.unlock();
        pause_();
        lock.lock();
      } else {
        break;
      }
    }
    delivering_ = false;
    if (delivered_ >= Last()) finished_.notify_all();
  }

  const Process process_;
  const Deliver deliver_;
  const Pause pause_;
  mutable Mutex mutex_;
  Condition work_;      // items to process, or closing
  Condition room_;      // room in the window, or stopped
  Condition finished_;  // everything delivered
  std::vector<Slot> slots_;
  std::vector<std::thread> workers_;
  const unsigned threads_;
  std::uint64_t added_ = 0;
  std::uint64_t claimed_ = 0;
  std::uint64_t delivered_ = 0;
  std::atomic<std::uint64_t> stopAt_{kNever};  // changed under the lock, read without it too
  bool delivering_ = false;
  bool roomWanted_ = false;    // the submitter waits for room
  bool pausePending_ = false;  // deliveries since the pause hook last ran
  bool idleWanted_ = false;
  bool closing_ = false;
};

}  // namespace tarvik::batch
