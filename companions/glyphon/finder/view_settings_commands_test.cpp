#include "finder/view_settings_commands.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "finder/plist_buddy.hpp"
#include "finder/result_with.hpp"
#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using platform::ScriptRun;
using platform::ScriptValue;
using platform::testing::answersNumber;
using platform::testing::answersText;
using platform::testing::failsWith;
using ::testing::ElementsAre;
using testing::FinderRig;
using testing::RecordingOutput;
using Flush = OutputLines::Flush;

const std::string kGetIconSize =
    "tell application \"Finder\" to get icon size of icon view options of container window of "
    "desktop";
const std::string kGetArrangement =
    "tell application \"Finder\" to get arrangement of icon view options of container window of "
    "desktop";
const std::string kGetShowsItemInfo =
    "tell application \"Finder\" to get shows item info of icon view options of container window "
    "of desktop";
const std::string kGridSpacingEntry = ":DesktopViewSettings:IconViewSettings:gridSpacing";

CommandAnswer success(CommandResult result) {
  return CommandAnswer::success(std::move(result));
}

// --- icon_size

TEST(IconSize, AnswersFindersIconSize) {
  FinderRig rig;
  rig.host.setAnswer(kGetIconSize, answersNumber(64));
  EXPECT_EQ(iconSize(rig.services), success(resultWith(&CommandResult::iconSize, 64)));
  EXPECT_THAT(rig.host.runs(), ElementsAre(kGetIconSize));
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] icon_size get"));
}

TEST(IconSize, AnswersTheScriptErrorAndReportsIt) {
  FinderRig rig;
  rig.host.setAnswer(kGetIconSize,
                     failsWith("Finder got an error: Application isn't running.", -600));
  EXPECT_EQ(iconSize(rig.services),
            CommandAnswer::failure("Finder got an error: Application isn't running."));
  EXPECT_THAT(
      rig.output.lines(),
      ElementsAre(RecordingOutput::Line{
          "FINDER_SCRIPT_ERROR:Finder got an error: Application isn't running.", Flush::now}));
}

TEST(IconSize, RejectsAnAnswerWithoutResult) {
  FinderRig rig;
  EXPECT_EQ(iconSize(rig.services), CommandAnswer::failure("Unexpected Finder response"));
}

// --- icon_size_set

struct SizeValue {
  std::optional<std::string> value;
  std::optional<std::int64_t> size;  // nothing: rejected
};

void PrintTo(const SizeValue& value, std::ostream* out) {
  *out << (value.value ? '"' + *value.value + '"' : "absent");
}

class IconSizeSetValue : public ::testing::TestWithParam<SizeValue> {};

TEST_P(IconSizeSetValue, IsTrimmedThenParsedAsAWholeNumber) {
  FinderRig rig;
  rig.host.setAnswer(kGetIconSize,
                     answersNumber(static_cast<std::int32_t>(GetParam().size.value_or(0))));
  const CommandAnswer answer = iconSizeSet(rig.services, GetParam().value);
  if (!GetParam().size) {
    EXPECT_EQ(answer, CommandAnswer::failure("Missing icon size"));
    EXPECT_TRUE(rig.host.runs().empty());
    EXPECT_TRUE(rig.log.lines().empty());
    return;
  }
  const std::string n = std::to_string(*GetParam().size);
  EXPECT_EQ(answer, success(resultWith(&CommandResult::iconSize, GetParam().size)));
  EXPECT_EQ(rig.host.runs().front(),
            "tell application \"Finder\" to set icon size of icon view options of container "
            "window of desktop to " +
                n);
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] icon_size_set " + n,
                          "[ORVEL] icon size set " + n + " confirmed on attempt 1"));
}

INSTANTIATE_TEST_SUITE_P(
    Values, IconSizeSetValue,
    ::testing::Values(SizeValue{"72", 72}, SizeValue{" 72 ", 72}, SizeValue{"\n\t72\r\n", 72},
                      SizeValue{"+72", 72}, SizeValue{"-8", -8}, SizeValue{"72px", std::nullopt},
                      SizeValue{"7 2", std::nullopt}, SizeValue{"72.0", std::nullopt},
                      SizeValue{"", std::nullopt}, SizeValue{"  ", std::nullopt},
                      SizeValue{std::nullopt, std::nullopt}));

TEST(IconSizeSet, AnswersTheSizeFinderKeepsReporting) {
  FinderRig rig;
  rig.host.setAnswer(kGetIconSize, answersNumber(48));
  EXPECT_EQ(iconSizeSet(rig.services, "64"), success(resultWith(&CommandResult::iconSize, 48)));
  EXPECT_EQ(rig.host.runCount(kGetIconSize), 6);
}

TEST(IconSizeSet, FailsWhenNoReadBackAnswers) {
  FinderRig rig;
  rig.host.setAnswer(kGetIconSize, failsWith("Finder got an error: Connection is invalid.", -609));
  EXPECT_EQ(iconSizeSet(rig.services, "64"),
            CommandAnswer::failure("icon size set could not be verified"));
}

// --- grid_spacing, over the real PlistBuddy and a preferences file in the rig's home

TEST(GridSpacing, CreatesAMissingEntryAt64) {
  FinderRig rig;
  EXPECT_EQ(gridSpacing(rig.services), success(resultWith(&CommandResult::gridSpacing, 64)));
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] grid_spacing get"));
  EXPECT_TRUE(runPlistBuddy(rig.services, "Print " + kGridSpacingEntry).value.has_value());
}

struct StoredSpacing {
  std::string addCommand;  // what the file holds
  CommandAnswer answer;
};

void PrintTo(const StoredSpacing& stored, std::ostream* out) {
  *out << stored.addCommand;
}

class GridSpacingStored : public ::testing::TestWithParam<StoredSpacing> {};

TEST_P(GridSpacingStored, IsReadAsATruncatedWholeNumber) {
  FinderRig rig;
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings dict");
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings:IconViewSettings dict");
  ASSERT_EQ(runPlistBuddy(rig.services, GetParam().addCommand).error, std::nullopt);
  EXPECT_EQ(gridSpacing(rig.services), GetParam().answer);
}

INSTANTIATE_TEST_SUITE_P(
    Entries, GridSpacingStored,
    ::testing::Values(StoredSpacing{"Add " + kGridSpacingEntry + " real 80",
                                    success(resultWith(&CommandResult::gridSpacing, 80))},
                      StoredSpacing{"Add " + kGridSpacingEntry + " real 54.75",
                                    success(resultWith(&CommandResult::gridSpacing, 54))},
                      StoredSpacing{"Add " + kGridSpacingEntry + " integer 100",
                                    success(resultWith(&CommandResult::gridSpacing, 100))},
                      StoredSpacing{"Add " + kGridSpacingEntry + " string wide",
                                    CommandAnswer::failure("Unexpected Finder response")},
                      StoredSpacing{"Add " + kGridSpacingEntry + " real 1e300",
                                    CommandAnswer::failure("Unexpected Finder response")}));

TEST(GridSpacing, FailsWhenTheEntryCanNeitherBeReadNorMade) {
  FinderRig rig;
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings string flat");
  EXPECT_EQ(gridSpacing(rig.services), CommandAnswer::failure("Unexpected Finder response"));
}

TEST(GridSpacing, RejectsANumberThatIsNotFinite) {
  FinderRig rig;
  rig.tools.plistBuddy = rig.home / "PlistBuddy";
  testing::writeTool(rig.tools.plistBuddy, "echo nan");
  FinderServices services = rig.services;
  services.tools = rig.tools;
  EXPECT_EQ(gridSpacing(services), CommandAnswer::failure("Unexpected Finder response"));
}

// --- grid_spacing_set

TEST(GridSpacingSet, StoresTheSignedValueWithoutRestartingFinder) {
  FinderRig rig;
  EXPECT_EQ(gridSpacingSet(rig.services, "+80"),
            success(resultWith(&CommandResult::gridSpacing, 80)));
  EXPECT_EQ(std::stod(*runPlistBuddy(rig.services, "Print " + kGridSpacingEntry).value), 80.0);
  EXPECT_THAT(rig.log.lines(),
              ElementsAre("[ORVEL] grid_spacing_set 80", "[ORVEL] grid_spacing_set ok 80"));
  EXPECT_EQ(rig.toolCallsText(), "");
  EXPECT_TRUE(rig.host.runs().empty());
}

TEST(GridSpacingSet, RejectsAnythingButASignAndDigits) {
  for (const std::optional<std::string>& value :
       {std::optional<std::string>(" 80"), std::optional<std::string>("80 "),
        std::optional<std::string>("80.0"), std::optional<std::string>(""),
        std::optional<std::string>()}) {
    FinderRig rig;
    EXPECT_EQ(gridSpacingSet(rig.services, value),
              CommandAnswer::failure("grid_spacing_set requires an integer value"));
    EXPECT_FALSE(std::filesystem::exists(rig.services.preferencesFile));
    EXPECT_TRUE(rig.log.lines().empty());
  }
}

TEST(GridSpacingSet, AnswersThePlistBuddyError) {
  FinderRig rig;
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings string flat");
  const CommandAnswer answer = gridSpacingSet(rig.services, "80");
  ASSERT_FALSE(answer.ok);
  EXPECT_FALSE(answer.error->empty());
  EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] grid_spacing_set 80"));
}

// --- grid_arrangement_get / grid_arrangement_set

TEST(GridArrangementGet, AnswersTheTextOrTheDescriptionOfFindersValue) {
  struct Case {
    ScriptRun run;
    std::string arrangement;
  };
  for (const Case& each :
       {Case{answersText("snap to grid"), "snap to grid"},
        Case{ScriptRun::success(ScriptValue{std::nullopt, 0, "'enum'('grda')"}), "'enum'('grda')"},
        Case{ScriptRun::success(), ""}}) {
    FinderRig rig;
    rig.host.setAnswer(kGetArrangement, each.run);
    EXPECT_EQ(gridArrangementGet(rig.services),
              success(resultWith(&CommandResult::gridArrangement, each.arrangement)));
    EXPECT_THAT(rig.log.lines(), ElementsAre("[ORVEL] grid_arrangement_get"));
  }
}

TEST(GridArrangementGet, AnswersTheScriptError) {
  FinderRig rig;
  rig.host.setAnswer(kGetArrangement,
                     failsWith("Finder got an error: Can't get arrangement.", -1728));
  EXPECT_EQ(gridArrangementGet(rig.services),
            CommandAnswer::failure("Finder got an error: Can't get arrangement."));
}

TEST(GridArrangementSet, SetsFindersConstantAndAnswersItsName) {
  struct Case {
    std::string value;
    std::string constant;
    std::string name;
  };
  for (const Case& each :
       {Case{"By Name", "arranged by name", "name"}, Case{"none", "snap to grid", "snap to grid"},
        Case{"Not Arranged", "not arranged", "not arranged"},
        Case{"date", "arranged by modification date", "date modified"}}) {
    FinderRig rig;
    EXPECT_EQ(gridArrangementSet(rig.services, each.value),
              success(resultWith(&CommandResult::gridArrangement, each.name)));
    EXPECT_THAT(rig.host.runs(),
                ElementsAre("tell application \"Finder\" to set arrangement of icon view options "
                            "of container window of desktop to " +
                            each.constant));
  }
}

TEST(GridArrangementSet, AnswersTheScriptError) {
  FinderRig rig;
  rig.host.setFallbackAnswer(failsWith("Finder got an error: Can't make arrangement.", -10000));
  EXPECT_EQ(gridArrangementSet(rig.services, "kind"),
            CommandAnswer::failure("Finder got an error: Can't make arrangement."));
}

// --- desktop_labels

TEST(DesktopLabels, StatusReadsFindersAnswerAsTextThenAsNumber) {
  struct Case {
    ScriptRun run;
    bool visible;
  };
  for (const Case& each :
       {Case{answersText("true"), true}, Case{answersText("FALSE"), false},
        Case{answersText("1"), true}, Case{answersText("0"), false},
        Case{ScriptRun::success(ScriptValue{std::nullopt, 1, "'true'"}), true},
        Case{ScriptRun::success(ScriptValue{std::nullopt, 0, "'fals'"}), false}}) {
    FinderRig rig;
    rig.host.setAnswer(kGetShowsItemInfo, each.run);
    EXPECT_EQ(desktopLabels(rig.services, "status"),
              success(resultWith(&CommandResult::desktopLabelsVisible, each.visible)))
        << each.run.result->description;
  }
}

TEST(DesktopLabels, StatusFailsOnAScriptErrorOrNoResult) {
  FinderRig rig;
  EXPECT_EQ(desktopLabels(rig.services, "status"),
            CommandAnswer::failure("Unexpected Finder response"));
  rig.host.setAnswer(kGetShowsItemInfo,
                     failsWith("Finder got an error: Connection is invalid.", -609));
  EXPECT_EQ(desktopLabels(rig.services, "status"),
            CommandAnswer::failure("Finder got an error: Connection is invalid."));
}

TEST(DesktopLabels, ShowsOrHidesTheItemInfo) {
  for (const bool visible : {true, false}) {
    FinderRig rig;
    const std::string word = visible ? "true" : "false";
    EXPECT_EQ(desktopLabels(rig.services, word),
              success(resultWith(&CommandResult::desktopLabelsVisible, visible)));
    EXPECT_THAT(rig.host.runs(),
                ElementsAre("tell application \"Finder\" to set shows item info of icon view "
                            "options of container window of desktop to " +
                            word));
  }
}

TEST(DesktopLabels, SetAnswersTheScriptError) {
  FinderRig rig;
  rig.host.setFallbackAnswer(failsWith("Finder got an error: Connection is invalid.", -609));
  EXPECT_EQ(desktopLabels(rig.services, "true"),
            CommandAnswer::failure("Finder got an error: Connection is invalid."));
}

}  // namespace
}  // namespace deskplay::glyphon
