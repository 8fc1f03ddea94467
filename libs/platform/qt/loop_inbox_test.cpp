#include "platform/qt/loop_inbox.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>

namespace deskplay::platform {
namespace {

class LoopInboxTest : public ::testing::Test {
 protected:
  int argc = 1;
  char name[16] = "platform_qt";
  char* argv[2] = {name, nullptr};
  QCoreApplication application{argc, argv};
};

TEST_F(LoopInboxTest, TasksFromOtherThreadsRunOnTheLoopEachOnceInTheirSendersOrder) {
  LoopInbox inbox(*QThread::currentThread());
  // Touched only on this thread, by the tasks: a task run elsewhere is a race.
  std::map<int, std::vector<int>> received;
  int ran = 0;
  std::vector<std::thread> senders;
  for (int sender = 0; sender < 4; ++sender) {
    senders.emplace_back([&, sender] {
      for (int i = 0; i < 100; ++i) {
        inbox.post([&, sender, i] {
          received[sender].push_back(i);
          ++ran;
        });
      }
    });
  }
  for (std::thread& sender : senders) sender.join();

  EXPECT_TRUE(QTest::qWaitFor([&] { return ran == 400; }));
  for (int sender = 0; sender < 4; ++sender) {
    ASSERT_EQ(received[sender].size(), 100U);
    for (int i = 0; i < 100; ++i) EXPECT_EQ(received[sender][static_cast<std::size_t>(i)], i);
  }
}

TEST_F(LoopInboxTest, PostAndWaitReturnsOnceTheTaskHasRunOnTheLoop) {
  QThread worker;
  {
    LoopInbox inbox(worker);
    worker.start();
    std::vector<int> written;
    std::thread::id ranOn;
    for (int i = 0; i < 50; ++i) {
      inbox.postAndWait([&, i] {
        written.push_back(i);
        ranOn = std::this_thread::get_id();
      });
      // What the task wrote is there on return.
      ASSERT_EQ(written.size(), static_cast<std::size_t>(i) + 1);
    }
    EXPECT_NE(ranOn, std::this_thread::get_id());
    worker.quit();
    worker.wait();
  }
}

TEST_F(LoopInboxTest, TasksNotYetRunGoWithTheInbox) {
  auto held = std::make_shared<int>(0);
  {
    LoopInbox inbox(*QThread::currentThread());
    inbox.post([held] { ++*held; });
  }
  EXPECT_EQ(held.use_count(), 1);
  QCoreApplication::processEvents();
  EXPECT_EQ(*held, 0);
}

}  // namespace
}  // namespace deskplay::platform
