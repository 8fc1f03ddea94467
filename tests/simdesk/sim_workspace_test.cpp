#include "platform/sim/sim_workspace.hpp"

#include <gtest/gtest.h>

#include "platform/sim/sim_privacy_checks.hpp"
#include "platform/sim/sim_tool_paths.hpp"
#include "platform/sim/sim_windows.hpp"
#include "simdesk_session.hpp"

namespace deskplay::testing {
namespace {

constexpr const char* kPane = "x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent";

TEST(SimWorkspaceTest, SettingsPanesAreRecordedAndOtherSchemesRefused) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  auto connection = session.connect("Deskplay");
  platform::SimWorkspace workspace(*connection);
  EXPECT_TRUE(workspace.openUrl(kPane));
  EXPECT_FALSE(workspace.openUrl("https://example.com/"));
  EXPECT_EQ(session.ctl({"prompts"}).output, std::string("opened ") + kPane + " Deskplay\n");
}

TEST(SimWorkspaceTest, RevealOpensAFinderWindowAndBringsFinderToTheFront) {
  SimdeskSession session;
  writeFile(session.desktop() / "a.txt", "x");
  ASSERT_TRUE(session.start());
  auto connection = session.connect("Deskplay");
  platform::SimWorkspace workspace(*connection);
  platform::SimWindows windows(*connection);
  const auto finderWindows = [&] {
    int count = 0;
    for (const auto& info : windows.onScreenWindows()) count += info.ownerName == "Finder";
    return count;
  };
  EXPECT_EQ(finderWindows(), 0);
  workspace.activateFileViewerSelecting({session.desktop() / "a.txt"});
  EXPECT_EQ(finderWindows(), 1);
  EXPECT_EQ(windows.frontmostApplication()->bundleIdentifier, "com.apple.finder");

  // A file that appears is placed at once when Finder is told.
  writeFile(session.desktop() / "b.txt", "x");
  workspace.noteFileSystemChanged(session.desktop() / "b.txt");
  EXPECT_NE(session.ctl({"state"}).output.find("b.txt"), std::string::npos);
}

TEST(SimWorkspaceTest, FileMetadataIsLeftToTheRealWorkspace) {
  SimdeskSession session;
  auto connection = session.connect("Deskplay");
  platform::SimWorkspace workspace(*connection);
  const auto file = session.home() / "f.txt";
  writeFile(file, "x");
  EXPECT_FALSE(workspace.hasCustomIcon(file));
  EXPECT_FALSE(workspace.iconForFile(file));
  EXPECT_FALSE(workspace.loadImage(file));
  EXPECT_FALSE(workspace.decodeImage({0x89, 'P', 'N', 'G'}));
  EXPECT_FALSE(workspace.setCustomIcon(file, std::nullopt));
  EXPECT_FALSE(workspace.setExtensionVisibility(file, platform::ExtensionVisibility::hidden).ok());
  EXPECT_EQ(readFile(file), "x");
}

TEST(SimWorkspaceWithoutSimdeskTest, NothingOpensAndNoticesGoNowhere) {
  SimdeskSession session;
  auto connection = session.connect("Deskplay");
  platform::SimWorkspace workspace(*connection);
  EXPECT_FALSE(workspace.openUrl(kPane));
  workspace.activateFileViewerSelecting({session.home()});
  workspace.noteFileSystemChanged(session.home());
}

TEST(SimPrivacyChecksTest, InputMonitoringFollowsSimdesksRecord) {
  SimdeskSession session;
  auto connection = session.connect("Keyhark");
  platform::SimPrivacyChecks checks(*connection);
  EXPECT_EQ(checks.listenEventAccess(), platform::PrivacyChecks::Access::unknown);
  ASSERT_TRUE(session.start());
  EXPECT_EQ(checks.listenEventAccess(), platform::PrivacyChecks::Access::granted);
  ASSERT_EQ(session.ctl({"privacy", "revoke", "input-monitoring", "Keyhark"}).status, 0);
  EXPECT_EQ(checks.listenEventAccess(), platform::PrivacyChecks::Access::denied);
}

TEST(SimToolPathsTest, PointAtTheStandInsOfThisBuild) {
  const auto tools = platform::simToolPaths();
  EXPECT_EQ(tools.killall, simToolsFolder() / "killall");
  EXPECT_EQ(tools.open, simToolsFolder() / "open");
  EXPECT_EQ(tools.plistBuddy, simToolsFolder() / "PlistBuddy");
  EXPECT_EQ(tools.zsh, "/bin/zsh");
  EXPECT_TRUE(std::filesystem::exists(tools.killall));
  EXPECT_TRUE(std::filesystem::exists(tools.open));
}

}  // namespace
}  // namespace deskplay::testing
