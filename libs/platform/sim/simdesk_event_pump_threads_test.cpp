#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QTest>
#include <atomic>
#include <string>
#include <thread>

#include "platform/sim/simdesk_event_pump.hpp"
#include "sim/simdesk/protocol/testing/stand_in_simdesk.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using nlohmann::json;

class SimdeskEventPumpThreadsTest : public ::testing::Test {
 protected:
  int argc_ = 1;
  char name_[16] = "pump";
  char* argv_[2] = {name_, nullptr};
  QCoreApplication application_{argc_, argv_};
  testing::TempDir dir_;
};

// Requests may come from any thread while the pump hands pushed events to the main thread's
// listeners: events that arrive during another thread's request are set aside by it and still
// reach the listeners, on the main thread.
TEST_F(SimdeskEventPumpThreadsTest, DeliversEventsOnTheMainThreadWhileAnotherThreadRequests) {
  simdesk::testing::StandInSimdesk simdesk(dir_ / "s.sock");
  simdesk::protocol::Connection connection({dir_ / "s.sock", "Glyphon", 4321});
  // Main thread only, as the adapters' listener state is.
  std::vector<int> received;
  bool offMainThread = false;
  const std::thread::id mainThread = std::this_thread::get_id();
  const int listenerId = connection.listen("test.tick", [&](const json& event) {
    received.push_back(event["n"].get<int>());
    offMainThread = offMainThread || std::this_thread::get_id() != mainThread;
  });
  ASSERT_TRUE(
      connection.request("test.ping", json::object(), simdesk::protocol::Effect::readsOnly).ok());
  SimdeskEventPump pump(connection);

  constexpr int kEvents = 100;
  std::atomic<int> failedRequests = 0;
  std::atomic<bool> pushing = true;
  std::thread requester([&] {
    while (pushing) {
      if (!connection.request("test.ping", json::object(), simdesk::protocol::Effect::readsOnly)
               .ok()) {
        ++failedRequests;
      }
    }
  });
  for (int n = 0; n < kEvents; ++n) {
    ASSERT_TRUE(simdesk.push({{"event", "test.tick"}, {"n", n}}));
  }
  const bool allArrived =
      QTest::qWaitFor([&] { return received.size() == static_cast<std::size_t>(kEvents); }, 10000);
  pushing = false;
  requester.join();

  EXPECT_TRUE(allArrived) << received.size() << " of " << kEvents;
  for (int n = 0; n < static_cast<int>(received.size()); ++n) {
    EXPECT_EQ(received[static_cast<std::size_t>(n)], n);
  }
  EXPECT_FALSE(offMainThread);
  EXPECT_EQ(failedRequests, 0);
  connection.unlisten(listenerId);
}

}  // namespace
}  // namespace deskplay::platform
