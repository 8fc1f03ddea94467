#include "common/mutex.hpp"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <vector>

namespace deskplay {
namespace {

using namespace std::chrono_literals;

class Counter {
 public:
  void add() {
    const MutexLock lock(mutex_);
    // Read, then write: without the lock, two threads lose increments.
    const int seen = count_;
    count_ = seen + 1;
  }
  int count() {
    const MutexLock lock(mutex_);
    return count_;
  }

 private:
  Mutex mutex_;
  int count_ GUARDED_BY(mutex_) = 0;
};

TEST(Mutex, ALockHeldByOneThreadKeepsTheOthersOut) {
  Counter counter;
  std::vector<std::thread> threads;
  for (int thread = 0; thread < 4; ++thread) {
    threads.emplace_back([&counter] {
      for (int i = 0; i < 10000; ++i) counter.add();
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(counter.count(), 40000);
}

TEST(Mutex, TryLockFailsWhileAnotherHoldsIt) {
  Mutex mutex;
  bool tookIt = true;
  {
    const MutexLock lock(mutex);
    std::thread other([&] {
      tookIt = false;
      if (mutex.tryLock()) {
        tookIt = true;
        mutex.unlock();
      }
    });
    other.join();
  }
  EXPECT_FALSE(tookIt);
  bool tookItOnceFree = false;
  if (mutex.tryLock()) {
    tookItOnceFree = true;
    mutex.unlock();
  }
  EXPECT_TRUE(tookItOnceFree);
}

// A flag handed from one thread to another under the mutex, with a wake-up.
class Signal {
 public:
  void raise() {
    {
      const MutexLock lock(mutex_);
      raised_ = true;
    }
    changed_.notifyAll();
  }
  void waitRaised() {
    const MutexLock lock(mutex_);
    while (!raised_) changed_.wait(mutex_);
  }
  // False when not raised by `deadline`.
  bool waitRaisedUntil(std::chrono::steady_clock::time_point deadline) {
    const MutexLock lock(mutex_);
    while (!raised_) {
      if (!changed_.waitUntil(mutex_, deadline)) return raised_;
    }
    return true;
  }

 private:
  Mutex mutex_;
  ConditionVariable changed_;
  bool raised_ GUARDED_BY(mutex_) = false;
};

TEST(ConditionVariable, AWaiterWakesWhenTheConditionIsRaised) {
  Signal signal;
  std::thread waiter([&] { signal.waitRaised(); });
  signal.raise();
  waiter.join();
  EXPECT_TRUE(signal.waitRaisedUntil(std::chrono::steady_clock::now()));
}

TEST(ConditionVariable, AWaitWithADeadlineEndsWithoutTheCondition) {
  Signal signal;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(signal.waitRaisedUntil(start + 20ms));
  EXPECT_GE(std::chrono::steady_clock::now() - start, 20ms);
}

}  // namespace
}  // namespace deskplay
