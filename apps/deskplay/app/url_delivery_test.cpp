#include "app/url_delivery.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_clock.hpp"

namespace deskplay::app {
namespace {

using Seconds = platform::Clock::Seconds;

struct Attempts {
  // What each attempt answers, the last one from then on.
  std::vector<Result<QJsonObject>> answers;
  int sent = 0;
  int started = 0;
  bool startFails = false;

  Result<QJsonObject> send() {
    const auto index = std::min(static_cast<std::size_t>(sent), answers.size() - 1);
    ++sent;
    return answers[index];
  }
};

Result<QJsonObject> absent() {
  return Error{ErrorKind::unavailable, "not running"};
}
Result<QJsonObject> answered() {
  return QJsonObject{{"ok", true}};
}

Result<QJsonObject> deliver(Attempts& attempts, platform::testing::FakeClock& clock) {
  return sendStartingInstance([&] { return attempts.send(); },
                              [&]() -> Status {
                                ++attempts.started;
                                if (attempts.startFails) return Error{"cannot start Deskplay"};
                                return Status::success();
                              },
                              Seconds(1.0), clock);
}

TEST(SendStartingInstance, ARunningInstanceTakesItAtOnce) {
  platform::testing::FakeClock clock;
  Attempts attempts{{answered()}};
  EXPECT_TRUE(deliver(attempts, clock).ok());
  EXPECT_EQ(attempts.started, 0);
  EXPECT_TRUE(clock.sleeps().empty());
}

TEST(SendStartingInstance, WithoutOneStartsOneAndWaitsForIt) {
  platform::testing::FakeClock clock;
  Attempts attempts{{absent(), absent(), absent(), answered()}};
  EXPECT_TRUE(deliver(attempts, clock).ok());
  EXPECT_EQ(attempts.started, 1);
  EXPECT_EQ(attempts.sent, 4);
}

TEST(SendStartingInstance, GivesUpAfterTheTimeoutAnotherErrorOrAFailedStart) {
  platform::testing::FakeClock clock;
  Attempts never{{absent()}};
  const auto timedOut = deliver(never, clock);
  ASSERT_FALSE(timedOut.ok());
  EXPECT_EQ(timedOut.error().kind, ErrorKind::unavailable);
  EXPECT_EQ(never.started, 1);
  // Up to the timeout, and not a poll beyond it.
  Seconds waited{0};
  for (const Seconds sleep : clock.sleeps()) waited += sleep;
  EXPECT_GE(waited.count(), 1.0 - 1e-9);
  EXPECT_LT(waited.count(), 1.0 + kInstanceStartPoll.count());

  Attempts unstartable{{absent()}, 0, 0, true};
  const auto notStarted = deliver(unstartable, clock);
  ASSERT_FALSE(notStarted.ok());
  EXPECT_EQ(notStarted.message(), "cannot start Deskplay");
  EXPECT_EQ(unstartable.sent, 1) << "no waiting for an instance that was never started";

  Attempts refused{{absent(), Error{"refused"}}};
  const auto failed = deliver(refused, clock);
  ASSERT_FALSE(failed.ok());
  EXPECT_EQ(failed.message(), "refused");
  EXPECT_EQ(refused.sent, 2);
}

}  // namespace
}  // namespace deskplay::app
