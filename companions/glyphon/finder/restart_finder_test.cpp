#include "finder/restart_finder.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::PreferenceDictionary;
using platform::PreferenceValue;
using platform::testing::answersNumber;
using platform::testing::answersText;
using platform::testing::failsWith;
using ::testing::ElementsAre;
using testing::FinderRig;
using Seconds = platform::Clock::Seconds;

const std::string kStartupDisk = "tell application \"Finder\" to name of startup disk";
const std::string kSetTextSize12 =
    "tell application \"Finder\" to set text size of icon view options of container window of "
    "desktop to 12";
const std::string kCloseWindows = "tell application \"Finder\" to close every window";
const std::string kHideOthers =
    "tell application \"System Events\" to set visible of (every process whose visible is true "
    "and name is not \"Finder\") to false";
const std::string kGetIconSize =
    "tell application \"Finder\" to get icon size of icon view options of container window of "
    "desktop";

std::optional<PreferenceDictionary> storedIconViewSettings(const FinderRig& rig) {
  const auto desktop = rig.preferences.storedDomainValue("com.apple.finder", "DesktopViewSettings");
  const auto* entries = desktop ? desktop->get<PreferenceDictionary>() : nullptr;
  if (entries == nullptr) return std::nullopt;
  const auto iconView = entries->find("IconViewSettings");
  if (iconView == entries->end()) return std::nullopt;
  const auto* settings = iconView->second.get<PreferenceDictionary>();
  if (settings == nullptr) return std::nullopt;
  return *settings;
}

Command restartCommand() {
  Command command;
  command.type = "restart_finder";
  return command;
}

CommandResult given(std::optional<std::int64_t> gridSpacing, std::optional<std::int64_t> iconSize,
                    std::optional<std::string> gridArrangement) {
  CommandResult result;
  result.gridSpacing = gridSpacing;
  result.iconSize = iconSize;
  result.gridArrangement = std::move(gridArrangement);
  return result;
}

// A Finder that is back at once.
struct RestartRig : FinderRig {
  RestartRig() { host.setAnswer(kStartupDisk, answersText("Macintosh HD")); }
};

TEST(RestartFinder, WithOnlyATextSizeWritesItRestartsAndSetsItByScript) {
  RestartRig rig;
  Command command = restartCommand();
  command.textSize = 12;
  EXPECT_EQ(restartFinder(rig.services, command), CommandAnswer::success(CommandResult{}));

  EXPECT_EQ(storedIconViewSettings(rig), (PreferenceDictionary{{"textSize", 12}}));
  EXPECT_EQ(rig.toolCallsText(), "killall Finder\nopen -a Finder\n");
  EXPECT_THAT(rig.host.runs(),
              ElementsAre(kStartupDisk, kSetTextSize12, kCloseWindows, kHideOthers));
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] restart_finder gridSpacing=nil iconSize=nil arrangement=nil "
                          "textSize=12 labelPosition=nil",
                          "[ORVEL] restart_finder prefs set via cfprefsd: textSize=12",
                          "[ORVEL] restart_finder textSize set 12",
                          "[ORVEL] restart_finder closed Finder windows",
                          "[ORVEL] restart_finder hid other apps", "[ORVEL] restart_finder ok"));
  EXPECT_EQ(rig.clock.sleeps(), std::vector<Seconds>{Seconds(0.5)});
}

TEST(RestartFinder, AppliesEverySettingAndAnswersThemAsReceived) {
  RestartRig rig;
  rig.host.setAnswer(kGetIconSize, answersNumber(64));
  Command command = restartCommand();
  command.gridSpacing = 80;
  command.iconSize = 64;
  command.gridArrangement = "none";
  command.textSize = 12;
  command.labelPosition = "Right";
  EXPECT_EQ(restartFinder(rig.services, command), CommandAnswer::success(given(80, 64, "none")));

  // "none" leaves the preference unarranged while the script snaps to the grid.
  EXPECT_EQ(storedIconViewSettings(rig), (PreferenceDictionary{{"arrangeBy", "none"},
                                                               {"gridSpacing", 80.0},
                                                               {"iconSize", 64.0},
                                                               {"labelOnBottom", false},
                                                               {"textSize", 12}}));
  EXPECT_THAT(
      rig.host.runs(),
      ElementsAre(kStartupDisk,
                  "tell application \"Finder\" to set icon size of icon view options of container "
                  "window of desktop to 64",
                  "tell application \"Finder\" to set icon size of icon view options of window of "
                  "desktop to 64",
                  kGetIconSize, kSetTextSize12,
                  "tell application \"Finder\" to set label position of icon view options of "
                  "container window of desktop to right",
                  "tell application \"Finder\" to set arrangement of icon view options of "
                  "container window of desktop to snap to grid",
                  kCloseWindows, kHideOthers));
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] restart_finder gridSpacing=80 iconSize=64 arrangement=none "
                          "textSize=12 labelPosition=Right",
                          "[ORVEL] restart_finder prefs set via cfprefsd: arrangeBy=none, "
                          "gridSpacing=80, iconSize=64, labelOnBottom=false, textSize=12",
                          "[ORVEL] icon size set 64 confirmed on attempt 1",
                          "[ORVEL] restart_finder textSize set 12",
                          "[ORVEL] restart_finder labelPosition set right",
                          "[ORVEL] restart_finder arrangement set snap to grid",
                          "[ORVEL] restart_finder closed Finder windows",
                          "[ORVEL] restart_finder hid other apps", "[ORVEL] restart_finder ok"));
}

TEST(RestartFinder, MapsLabelPositionAndArrangementWords) {
  RestartRig rig;
  Command command = restartCommand();
  command.labelPosition = "bottom";
  command.gridArrangement = "By Kind";
  EXPECT_TRUE(restartFinder(rig.services, command).ok);
  EXPECT_EQ(storedIconViewSettings(rig),
            (PreferenceDictionary{{"arrangeBy", "kind"}, {"labelOnBottom", true}}));
  EXPECT_EQ(rig.host.runCount("tell application \"Finder\" to set label position of icon view "
                              "options of container window of desktop to bottom"),
            1);
  EXPECT_EQ(rig.host.runCount("tell application \"Finder\" to set arrangement of icon view "
                              "options of container window of desktop to arranged by kind"),
            1);
  EXPECT_EQ(rig.log.lines().at(3), "[ORVEL] restart_finder arrangement set kind");
}

TEST(RestartFinder, WithNothingToSetOnlyRestarts) {
  RestartRig rig;
  EXPECT_EQ(restartFinder(rig.services, restartCommand()), CommandAnswer::success(CommandResult{}));
  EXPECT_EQ(rig.preferences.synchronizeCount(), 0);
  EXPECT_EQ(rig.toolCallsText(), "killall Finder\nopen -a Finder\n");
  EXPECT_THAT(rig.host.runs(), ElementsAre(kStartupDisk, kCloseWindows, kHideOthers));
  EXPECT_EQ(rig.log.lines().size(), 4u);
}

TEST(RestartFinder, WaitsUntilFinderAnswers) {
  FinderRig rig;
  rig.host.queueAnswer(kStartupDisk,
                       failsWith("Finder got an error: Application isn't running.", -600), 2);
  rig.host.queueAnswer(kStartupDisk, platform::ScriptRun::success());
  rig.host.setAnswer(kStartupDisk, answersText("Macintosh HD"));
  EXPECT_TRUE(restartFinder(rig.services, restartCommand()).ok);
  EXPECT_EQ(rig.host.runCount(kStartupDisk), 4);
  EXPECT_EQ(rig.clock.sleeps(), std::vector<Seconds>(4, Seconds(0.5)));
}

TEST(RestartFinder, GivesUpOnAFinderThatNeverAnswers) {
  FinderRig rig;
  rig.host.setAnswer(kStartupDisk,
                     failsWith("Finder got an error: Application isn't running.", -600));
  Command command = restartCommand();
  command.textSize = 12;
  EXPECT_EQ(restartFinder(rig.services, command),
            CommandAnswer::failure("Finder did not become ready after restart"));
  EXPECT_EQ(rig.host.runCount(kStartupDisk), 20);
  EXPECT_EQ(rig.host.runs().size(), 20u);
  EXPECT_EQ(rig.clock.sleeps(), std::vector<Seconds>(20, Seconds(0.5)));
  EXPECT_EQ(rig.log.lines().back(), "[ORVEL] restart_finder timeout");
  EXPECT_EQ(rig.output.lines().size(), 20u);
}

TEST(RestartFinder, LogsFailedStepsAndStillSucceeds) {
  RestartRig rig;
  rig.preferences.failSynchronizing(true);
  rig.host.setFallbackAnswer(failsWith("Finder got an error: Connection is invalid.", -609));
  Command command = restartCommand();
  command.iconSize = 64;
  command.textSize = 12;
  command.labelPosition = "right";
  command.gridArrangement = "name";
  EXPECT_EQ(restartFinder(rig.services, command),
            CommandAnswer::success(given(std::nullopt, 64, "name")));
  const std::string error = "Finder got an error: Connection is invalid.";
  const std::vector<std::string>& lines = rig.log.lines();
  ASSERT_EQ(lines.size(), 15u);
  EXPECT_EQ(lines[1],
            "[ORVEL] restart_finder prefs synchronize FAILED for: arrangeBy=name, iconSize=64, "
            "labelOnBottom=false, textSize=12");
  EXPECT_EQ(lines[8], "[ORVEL] icon size set 64 did not converge; Finder reports nil");
  EXPECT_EQ(lines[9], "[ORVEL] restart_finder textSize error: " + error);
  EXPECT_EQ(lines[10], "[ORVEL] restart_finder labelPosition error: " + error);
  EXPECT_EQ(lines[11], "[ORVEL] restart_finder arrangement error: " + error);
  EXPECT_EQ(lines[12], "[ORVEL] restart_finder close windows error: " + error);
  EXPECT_EQ(lines[13], "[ORVEL] restart_finder hide others error: " + error);
  EXPECT_EQ(lines[14], "[ORVEL] restart_finder ok");
}

}  // namespace
}  // namespace deskplay::glyphon
