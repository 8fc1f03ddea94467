#include "finder/plist_buddy.hpp"

#include <gtest/gtest.h>

#include <string>

#include "finder/testing/finder_rig.hpp"

namespace deskplay::glyphon {
namespace {

using testing::FinderRig;
using testing::writeTool;

const std::string kPrintGridSpacing = "Print :DesktopViewSettings:IconViewSettings:gridSpacing";

TEST(RunPlistBuddy, PrintsAndSetsEntriesOfFindersPreferencesFile) {
  FinderRig rig;
  EXPECT_EQ(runPlistBuddy(rig.services, "Add :DesktopViewSettings dict").error, std::nullopt);
  EXPECT_EQ(runPlistBuddy(rig.services, "Add :DesktopViewSettings:Label string Top").error,
            std::nullopt);
  EXPECT_TRUE(std::filesystem::exists(rig.home / "Library/Preferences/com.apple.finder.plist"));
  const PlistBuddyRun printed = runPlistBuddy(rig.services, "Print :DesktopViewSettings:Label");
  EXPECT_EQ(printed.value, "Top");
  EXPECT_EQ(printed.error, std::nullopt);
}

TEST(RunPlistBuddy, CreatesTheMissingPreferencesFolderForChangesOnly) {
  FinderRig rig;
  std::filesystem::remove_all(rig.home / "Library");
  EXPECT_EQ(runPlistBuddy(rig.services, "Print :DesktopViewSettings").value, std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(rig.home / "Library"));
  EXPECT_EQ(runPlistBuddy(rig.services, "Add :DesktopViewSettings dict").error, std::nullopt);
  EXPECT_TRUE(std::filesystem::exists(rig.services.preferencesFile));
}

TEST(RunPlistBuddy, TreatsAFailedPrintAsAMissingEntry) {
  FinderRig rig;
  const PlistBuddyRun printed = runPlistBuddy(rig.services, kPrintGridSpacing);
  EXPECT_EQ(printed.value, std::nullopt);
  EXPECT_EQ(printed.error, std::nullopt);
}

TEST(RunPlistBuddy, ReportsTheToolsOwnMessageForOtherFailures) {
  FinderRig rig;
  const PlistBuddyRun set =
      runPlistBuddy(rig.services, "Set :DesktopViewSettings:IconViewSettings:gridSpacing 80");
  EXPECT_EQ(set.value, std::nullopt);
  ASSERT_TRUE(set.error.has_value());
  EXPECT_FALSE(set.error->empty());
  EXPECT_NE(set.error->find("Does Not Exist"), std::string::npos) << *set.error;
}

struct ToolOutcome {
  std::string name;
  std::string script;   // what the stand-in does
  std::string command;  // what it is asked
  PlistBuddyRun expected;
};

void PrintTo(const ToolOutcome& outcome, std::ostream* out) {
  *out << outcome.name;
}

class PlistBuddyOutcome : public ::testing::TestWithParam<ToolOutcome> {};

TEST_P(PlistBuddyOutcome, IsReadFromStatusAndStreams) {
  FinderRig rig;
  rig.tools.plistBuddy = rig.home / "PlistBuddy";
  writeTool(rig.tools.plistBuddy, GetParam().script);
  FinderServices services = rig.services;
  services.tools = rig.tools;
  const PlistBuddyRun run = runPlistBuddy(services, GetParam().command);
  EXPECT_EQ(run.value, GetParam().expected.value);
  EXPECT_EQ(run.error, GetParam().expected.error);
}

INSTANTIATE_TEST_SUITE_P(
    StandIns, PlistBuddyOutcome,
    ::testing::Values(
        ToolOutcome{"SuccessTrimmed", "printf ' 80.5 \\n\\n'", "Print :a", {"80.5", std::nullopt}},
        ToolOutcome{"SuccessWithoutOutput", "exit 0", "Set :a 1", {"", std::nullopt}},
        ToolOutcome{"SuccessNotUtf8", "printf '\\377'", "Print :a", {}},
        ToolOutcome{"PrintFailureIsNoError", "echo oops >&2; exit 1", "Print :a", {}},
        ToolOutcome{"ErrorStreamFirst",
                    "echo ' out '; printf ' Entry Exists\\n' >&2; exit 1",
                    "Add :a dict",
                    {std::nullopt, "Entry Exists"}},
        ToolOutcome{"OutputWhenErrorIsBlank",
                    "printf ' Set: Entry, \":a\", Does Not Exist\\n'; echo '  ' >&2; exit 1",
                    "Set :a 1",
                    {std::nullopt, "Set: Entry, \":a\", Does Not Exist"}},
        ToolOutcome{
            "FixedTextWhenBothAreBlank", "exit 2", "Set :a 1", {std::nullopt, "PlistBuddy failed"}},
        // "Print" without its space is not a print command.
        ToolOutcome{"PrintWithoutSpace", "exit 1", "Print", {std::nullopt, "PlistBuddy failed"}}));

TEST(RunPlistBuddy, HandsTheCommandAndTheFileAsSeparateArguments) {
  FinderRig rig;
  rig.tools.plistBuddy = rig.home / "PlistBuddy";
  writeTool(rig.tools.plistBuddy, "printf '%s|' \"$@\"");
  FinderServices services = rig.services;
  services.tools = rig.tools;
  EXPECT_EQ(runPlistBuddy(services, "Set :a b c").value,
            "-c|Set :a b c|" + rig.services.preferencesFile.string() + "|");
}

TEST(RunPlistBuddy, ReportsAToolThatCannotStart) {
  FinderRig rig;
  FinderServices services = rig.services;
  services.tools.plistBuddy = rig.home / "missing";
  EXPECT_EQ(runPlistBuddy(services, kPrintGridSpacing).error, std::nullopt);
  const PlistBuddyRun set = runPlistBuddy(services, "Set :a 1");
  ASSERT_TRUE(set.error.has_value());
  EXPECT_NE(set.error->find((rig.home / "missing").string()), std::string::npos);
}

TEST(EnsureFinderGridSpacingEntry, CreatesTheEntryAt64) {
  FinderRig rig;
  const std::optional<std::string> spacing = ensureFinderGridSpacingEntry(rig.services);
  ASSERT_TRUE(spacing.has_value());
  EXPECT_EQ(std::stod(*spacing), 64.0);
  EXPECT_EQ(runPlistBuddy(rig.services, kPrintGridSpacing).value, spacing);
}

TEST(EnsureFinderGridSpacingEntry, KeepsAnExistingEntryAndItsNeighbours) {
  FinderRig rig;
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings dict");
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings:IconViewSettings dict");
  (void)runPlistBuddy(rig.services,
                      "Add :DesktopViewSettings:IconViewSettings:gridSpacing real 80");
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings:IconViewSettings:iconSize real 48");
  const std::optional<std::string> spacing = ensureFinderGridSpacingEntry(rig.services);
  ASSERT_TRUE(spacing.has_value());
  EXPECT_EQ(std::stod(*spacing), 80.0);
  EXPECT_EQ(
      std::stod(*runPlistBuddy(rig.services, "Print :DesktopViewSettings:IconViewSettings:iconSize")
                     .value),
      48.0);
}

TEST(EnsureFinderGridSpacingEntry, GivesNothingWhenTheEntryCannotBeMade) {
  FinderRig rig;
  // An entry of another type where the dictionary should be: every Add fails.
  (void)runPlistBuddy(rig.services, "Add :DesktopViewSettings string flat");
  EXPECT_EQ(ensureFinderGridSpacingEntry(rig.services), std::nullopt);
}

}  // namespace
}  // namespace deskplay::glyphon
