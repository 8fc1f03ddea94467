#include "serial_queue.hpp"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace deskplay::sonette {
namespace {

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
}  // namespace deskplay::sonette
