#include "finder/desktop_icon_size.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::ScriptRun;
using platform::testing::answersNumber;
using platform::testing::failsWith;
using ::testing::ElementsAre;
using testing::FinderRig;
using Seconds = platform::Clock::Seconds;

const std::string kSetContainerWindow64 =
    "tell application \"Finder\" to set icon size of icon view options of container window of "
    "desktop to 64";
const std::string kSetWindow64 =
    "tell application \"Finder\" to set icon size of icon view options of window of desktop to 64";
const std::string kReadBack =
    "tell application \"Finder\" to get icon size of icon view options of container window of "
    "desktop";

TEST(ApplyDesktopIconSize, StopsAtTheFirstConfirmedReadBack) {
  FinderRig rig;
  rig.host.setAnswer(kReadBack, answersNumber(64));
  EXPECT_EQ(applyDesktopIconSize(rig.services, 64), 64);
  EXPECT_THAT(rig.host.runs(), ElementsAre(kSetContainerWindow64, kSetWindow64, kReadBack));
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] icon size set 64 confirmed on attempt 1"));
  EXPECT_TRUE(rig.clock.sleeps().empty());
}

TEST(ApplyDesktopIconSize, GivesWhatFinderKeepsReportingAfterSixAttempts) {
  FinderRig rig;
  rig.host.setAnswer(kReadBack, answersNumber(48));
  EXPECT_EQ(applyDesktopIconSize(rig.services, 64), 48);
  EXPECT_EQ(rig.host.runCount(kSetContainerWindow64), 6);
  EXPECT_EQ(rig.host.runCount(kSetWindow64), 6);
  EXPECT_EQ(rig.host.runCount(kReadBack), 6);
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] icon size set 64, Finder reports 48 (attempt 1/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 2/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 3/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 4/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 5/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 6/6)",
                          "[ORVEL] icon size set 64 did not converge; Finder reports 48"));
  EXPECT_EQ(rig.clock.sleeps(), std::vector<Seconds>(5, Seconds(0.15)));
}

TEST(ApplyDesktopIconSize, KeepsTryingThroughFailedReadBacks) {
  FinderRig rig;
  rig.host.queueAnswer(kReadBack, failsWith("Finder got an error: Connection is invalid.", -609));
  rig.host.queueAnswer(kReadBack, ScriptRun::success());
  rig.host.queueAnswer(kReadBack, answersNumber(48));
  rig.host.queueAnswer(kReadBack, answersNumber(64));
  EXPECT_EQ(applyDesktopIconSize(rig.services, 64), 64);
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] icon size set 64 readback failed (attempt 1/6)",
                          "[ORVEL] icon size set 64 readback failed (attempt 2/6)",
                          "[ORVEL] icon size set 64, Finder reports 48 (attempt 3/6)",
                          "[ORVEL] icon size set 64 confirmed on attempt 4"));
  EXPECT_EQ(rig.clock.sleeps().size(), 3u);
}

TEST(ApplyDesktopIconSize, GivesTheLastValueReadWhenLaterReadBacksFail) {
  FinderRig rig;
  rig.host.queueAnswer(kReadBack, answersNumber(32));
  rig.host.queueAnswer(kReadBack, answersNumber(48));
  rig.host.setAnswer(kReadBack, failsWith("Finder got an error: Connection is invalid.", -609));
  EXPECT_EQ(applyDesktopIconSize(rig.services, 64), 48);
  EXPECT_EQ(rig.log.lines().back(), "[ORVEL] icon size set 64 did not converge; Finder reports 48");
}

TEST(ApplyDesktopIconSize, GivesNothingWhenNoReadBackAnswered) {
  FinderRig rig;
  rig.host.setFallbackAnswer(failsWith("Finder got an error: Application isn't running.", -600));
  EXPECT_EQ(applyDesktopIconSize(rig.services, 64), std::nullopt);
  EXPECT_EQ(rig.log.lines().size(), 7u);
  EXPECT_EQ(rig.log.lines().back(),
            "[ORVEL] icon size set 64 did not converge; Finder reports nil");
  // Every failed script was reported, the ignored set scripts too.
  EXPECT_EQ(rig.output.lines().size(), 18u);
}

}  // namespace
}  // namespace deskplay::glyphon
