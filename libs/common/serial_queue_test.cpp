#include "common/serial_queue.hpp"

#include <gtest/gtest.h>
#include <pthread.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace deskplay {
namespace {

using std::chrono::milliseconds;

// Task names in the order they ran; tasks run on the worker, the test reads after finish().
class RunOrder {
 public:
  SerialQueue::Task task(std::string name) {
    return [this, name] {
      const std::lock_guard lock(mutex_);
      names_.push_back(name);
    };
  }
  std::vector<std::string> names() {
    const std::lock_guard lock(mutex_);
    return names_;
  }

 private:
  std::mutex mutex_;
  std::vector<std::string> names_;
};

TEST(SerialQueue, RunsTasksInTheOrderTheyWereHandedOver) {
  RunOrder order;
  SerialQueue queue("test.queue");
  for (const char* name : {"a", "b", "c", "d"}) queue.async(order.task(name));
  queue.finish();
  EXPECT_EQ(order.names(), (std::vector<std::string>{"a", "b", "c", "d"}));
}

TEST(SerialQueue, RunsDelayedTasksByTheirDueTime) {
  RunOrder order;
  SerialQueue queue("test.queue");
  queue.asyncAfter(milliseconds(60), order.task("late"));
  queue.asyncAfter(milliseconds(20), order.task("soon"));
  queue.async(order.task("now"));
  queue.finish();
  EXPECT_EQ(order.names(), (std::vector<std::string>{"now", "soon", "late"}));
}

TEST(SerialQueue, RunsADelayedTaskNoEarlierThanItsDelay) {
  SerialQueue queue("test.queue");
  const auto handedOver = std::chrono::steady_clock::now();
  std::atomic<std::chrono::steady_clock::duration> waited{};
  queue.asyncAfter(milliseconds(50),
                   [&] { waited = std::chrono::steady_clock::now() - handedOver; });
  queue.finish();
  EXPECT_GE(waited.load(), milliseconds(50));
}

TEST(SerialQueue, FinishWaitsForDelayedTasksAndLaterOnesNeverRun) {
  RunOrder order;
  SerialQueue queue("test.queue");
  queue.asyncAfter(milliseconds(30), order.task("delayed"));
  queue.finish();
  queue.async(order.task("after finish"));
  queue.finish();
  EXPECT_EQ(order.names(), std::vector<std::string>{"delayed"});
}

TEST(SerialQueue, TakesTasksFromOtherThreadsWhileRunning) {
  std::atomic<int> ran = 0;
  SerialQueue queue("test.queue");
  std::vector<std::thread> senders;
  for (int sender = 0; sender < 4; ++sender) {
    senders.emplace_back([&] {
      for (int i = 0; i < 50; ++i) queue.asyncAfter(milliseconds(i % 3), [&] { ++ran; });
    });
  }
  for (std::thread& sender : senders) sender.join();
  queue.finish();
  EXPECT_EQ(ran, 200);
}

TEST(SerialQueue, NamesItsThreadAfterTheQueue) {
  std::string name;
  SerialQueue queue("quillon.icon-repaint");
  queue.async([&] {
    char buffer[16] = {};
    ::pthread_getname_np(::pthread_self(), buffer, sizeof buffer);
    name = buffer;
  });
  queue.finish();
  EXPECT_EQ(name, "quillon.icon-re");
}

TEST(SerialQueue, RunsTasksInOrderOnOneThreadOfItsOwn) {
  std::vector<int> order;
  std::vector<std::thread::id> threads;
  SerialQueue queue("test-queue");
  for (int i = 0; i < 100; ++i) {
    queue.async([&, i] {
      order.push_back(i);
      threads.push_back(std::this_thread::get_id());
    });
  }
  queue.sync([] {});

  ASSERT_EQ(order.size(), 100u);
  for (int i = 0; i < 100; ++i) EXPECT_EQ(order[static_cast<std::size_t>(i)], i);
  for (const std::thread::id& id : threads) {
    EXPECT_EQ(id, threads.front());
    EXPECT_NE(id, std::this_thread::get_id());
  }
}

TEST(SerialQueue, FinishRunsWhatIsQueuedThenTheExitTaskAndNothingAfter) {
  int ran = 0;
  int ranBeforeExit = -1;
  SerialQueue queue("test-queue", [&] { ranBeforeExit = ran; });
  for (int i = 0; i < 50; ++i) queue.async([&ran] { ++ran; });
  queue.finish();
  EXPECT_EQ(ran, 50);
  EXPECT_EQ(ranBeforeExit, 50);
  queue.async([&ran] { ++ran; });
  queue.finish();
  EXPECT_EQ(ran, 50);
}

}  // namespace
}  // namespace deskplay
