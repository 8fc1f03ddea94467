#include "platform/sim/simdesk_event_pump.hpp"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>

#include "platform/sim/sim_windows.hpp"
#include "simdesk_session.hpp"

namespace deskplay::testing {
namespace {

class SimdeskEventPumpTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(session_.start());
    connection_ = session_.connect("Deskplay");
    windows_ = std::make_unique<platform::SimWindows>(*connection_);
    observation_ = windows_->observeDisplayOptions([this] { ++changes_; });
    pump_ = std::make_unique<platform::SimdeskEventPump>(*connection_);
  }

  // Runs the event loop, and nothing else, until `changes_` reaches `count` or 10 s pass.
  bool loopUntilChanges(int count) {
    return QTest::qWaitFor([&] { return changes_ >= count; }, 10000);
  }

  int argc_ = 0;
  QCoreApplication application_{argc_, nullptr};
  SimdeskSession session_;
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  std::unique_ptr<platform::SimWindows> windows_;
  std::unique_ptr<platform::Observation> observation_;
  std::unique_ptr<platform::SimdeskEventPump> pump_;
  int changes_ = 0;
};

TEST_F(SimdeskEventPumpTest, AChangeArrivesWithoutAnotherCallIntoTheAdapter) {
  ASSERT_EQ(session_.ctl({"reduce-motion", "on"}).status, 0);
  ASSERT_TRUE(loopUntilChanges(1));
  EXPECT_TRUE(windows_->reduceMotion());
}

TEST_F(SimdeskEventPumpTest, FollowsTheConnectionAcrossASimdeskRestart) {
  EXPECT_EQ(session_.stop(), 0);
  ASSERT_TRUE(session_.start());
  // The next call reconnects and subscribes again; the pump then watches the new socket.
  EXPECT_FALSE(windows_->reduceMotion());
  ASSERT_EQ(session_.ctl({"reduce-motion", "on"}).status, 0);
  ASSERT_TRUE(loopUntilChanges(1));
}

}  // namespace
}  // namespace deskplay::testing
