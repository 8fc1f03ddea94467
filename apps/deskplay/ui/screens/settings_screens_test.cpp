// The settings menu and every pane rendered offscreen over the real stores, driven through
// their accessible names; each pane is saved as a screenshot.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QTest>

#include "core/settings/server_url.hpp"
#include "ui/screens/menu_screens.hpp"
#include "ui/screens/popover_harness.hpp"
#include "ui/screens/qml_warnings.hpp"
#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

using testing::MenuTestStores;
using testing::PopoverHarness;

class SettingsScreens : public ::testing::Test {
 protected:
  ~SettingsScreens() override {
    const QStringList warnings = testing::takeQmlWarnings();
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
  }

  void openPane(const QString& title) {
    if (!popover) popover = std::make_unique<PopoverHarness>(screens);
    ASSERT_TRUE(popover->press("Settings"));
    ASSERT_TRUE(popover->press(title)) << title.toStdString();
    ASSERT_TRUE(showsAll({title}));
  }

  bool shows(const QString& text) { return popover->texts().contains(text); }
  bool showsAll(const QStringList& texts) {
    return QTest::qWaitFor([&] {
      const QStringList shown = popover->texts();
      return std::ranges::all_of(texts, [&](const QString& text) { return shown.contains(text); });
    });
  }
  bool goesAway(const QString& text) {
    return QTest::qWaitFor([&] { return !shows(text); });
  }

  void missInputMonitoring() {
    stores.host.privacy.setAccess(platform::PrivacyChecks::Access::denied);
    stores.host.permissions.refresh();
  }

  MenuTestStores stores;
  MenuScreens screens{stores.routerStores()};
  std::unique_ptr<PopoverHarness> popover;
};

TEST_F(SettingsScreens, EveryPaneShowsUnderItsTitleAndLeadsBack) {
  struct Pane {
    const char* title;
    const char* screenshot;
    QStringList texts;
  };
  const std::vector<Pane> panes = {
      {"Account", "settings-account", {"Not signed in", "Sign in with Patreon"}},
      {"General",
       "settings-general",
       {"Launch at login", "Open Deskplay when you sign in", "Game sounds",
        "Play sound effects while a game runs"}},
      {"Permissions",
       "settings-permissions",
       {"Accessibility", "Lets a game capture your keyboard", "Input Monitoring",
        "Reads key presses while a game runs", "Granted"}},
      {"Controls",
       "settings-controls",
       {"Stop hotkey", "Quits the running game and restores your desktop", "⌃⌥Q", "Reset to ⌃⌥Q"}},
      {"Saved Games & Exports",
       "settings-saved",
       {"Folder", "Where games keep saved work — pixel art, sequences, exports.", "Choose",
        "Reveal"}},
      {"Multiplayer",
       "settings-multiplayer",
       {"Room server", "The server that connects players. Change it to run your own."}},
      {"Desktop Safety",
       "settings-desktop-safety",
       {"Your files are safe",
        "While a game plays, your desktop files are moved aside and restored the moment it stops "
        "— even after a crash.",
        "Reveal backup folder", "Restore my desktop now"}},
  };
  for (const Pane& pane : panes) {
    SCOPED_TRACE(pane.title);
    openPane(pane.title);
    EXPECT_TRUE(showsAll(pane.texts));
    popover->screenshot(pane.screenshot);
    ASSERT_TRUE(popover->press("Back"));
    ASSERT_TRUE(showsAll({"Settings", "Desktop Safety"}));
    ASSERT_TRUE(popover->press("Back"));
  }
  EXPECT_FALSE(stores.host.permissions.isPolling());
}

TEST_F(SettingsScreens, TheMenuMarksPermissionsWhileOneIsMissing) {
  popover = std::make_unique<PopoverHarness>(screens);
  ASSERT_TRUE(popover->press("Settings"));
  ASSERT_NE(popover->item("Permissions"), nullptr);
  EXPECT_EQ(popover->item("Permissions")->property("markSymbol").toString(), "");
  missInputMonitoring();
  EXPECT_EQ(popover->item("Permissions")->property("markSymbol").toString(),
            "exclamationmark.circle.fill");
  EXPECT_EQ(popover->item("General")->property("markSymbol").toString(), "");
  popover->screenshot("settings-menu-permission-missing");
}

TEST_F(SettingsScreens, AMissingPermissionOpensItsPageAndOffersTheRelaunch) {
  missInputMonitoring();
  openPane("Permissions");
  ASSERT_TRUE(showsAll({"Input Monitoring only takes effect after a restart.", "Relaunch"}));
  popover->screenshot("settings-permissions-missing");
  EXPECT_TRUE(popover->press("Accessibility"));
  ASSERT_TRUE(popover->press("Input Monitoring"));
  EXPECT_EQ(stores.fixture.workspace.openedUrls(),
            (std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent"}));
  ASSERT_TRUE(popover->press("Relaunch"));
  EXPECT_EQ(stores.host.relaunches, 1);
}

TEST_F(SettingsScreens, TheGeneralSwitchesFollowTheStores) {
  openPane("General");
  EXPECT_EQ(popover->find("Game sounds")->role(), QAccessible::CheckBox);
  ASSERT_TRUE(popover->press("Game sounds"));
  EXPECT_FALSE(stores.sounds.enabled());
  EXPECT_EQ(stores.mutedAnnouncements, std::vector<bool>{true});
  EXPECT_FALSE(popover->item("Game sounds")->property("checked").toBool());

  stores.loginItems.answerRegistrations(
      platform::testing::FakeLoginItems::RegistrationAnswer::refuse);
  ASSERT_TRUE(popover->press("Launch at login"));
  EXPECT_FALSE(popover->item("Launch at login")->property("checked").toBool())
      << "a refused registration turns the switch back";
  stores.loginItems.answerRegistrations(
      platform::testing::FakeLoginItems::RegistrationAnswer::enable);
  ASSERT_TRUE(popover->press("Launch at login"));
  EXPECT_TRUE(popover->item("Launch at login")->property("checked").toBool());
  popover->screenshot("settings-general-changed");
}

TEST_F(SettingsScreens, TheAccountPaneFollowsTheSignIn) {
  openPane("Account");
  const QString footnote = "Signs in against " + QString::fromUtf8(core::kDefaultServerUrl.data()) +
                           " — change the room server under Multiplayer.";
  EXPECT_TRUE(showsAll(
      {"Online play on the hosted room server needs an account. Solo games never do.", footnote}));
  ASSERT_TRUE(popover->press("Sign in with Patreon"));
  ASSERT_TRUE(showsAll({"Finish signing in in your browser",
                        "Deskplay will return here automatically after Patreon.", "Reopen page"}));
  popover->screenshot("settings-account-pending");
  ASSERT_TRUE(popover->press("Cancel"));
  EXPECT_TRUE(showsAll({"Not signed in"}));

  deskplay::testing::FakeHttpServer roomServer;
  stores.storeSessionKnownTo(roomServer);
  ASSERT_TRUE(popover->press("Back"));
  ASSERT_TRUE(popover->press("Account"));
  ASSERT_TRUE(showsAll({"Signed in", "ada@example.com", "Sign out"}))
      << "showing the pane reads the account again";
  popover->screenshot("settings-account-signed-in");
}

TEST_F(SettingsScreens, TheHotkeyButtonRecordsAndResets) {
  openPane("Controls");
  ASSERT_TRUE(popover->press("⌃⌥Q"));
  ASSERT_TRUE(showsAll({"Press a key combination (⎋ to cancel)…", "Cancel"}));
  popover->screenshot("settings-controls-recording");
  stores.host.hotkeys.finishRecording(core::Hotkey{1, true, false, false, true, "S"});
  ASSERT_TRUE(showsAll({"⌃⌘S", "Quits the running game and restores your desktop"}));
  ASSERT_TRUE(popover->press("Reset to ⌃⌥Q"));
  EXPECT_TRUE(showsAll({"⌃⌥Q"}));
}

TEST_F(SettingsScreens, AChosenFolderShowsWithItsReset) {
  openPane("Saved Games & Exports");
  EXPECT_FALSE(shows("Reset"));
  ASSERT_TRUE(popover->press("Choose"));
  const auto chosen = stores.fixture.home() / "Work";
  ASSERT_TRUE(stores.fixture.workspace.answerOpenPanel(chosen));
  ASSERT_TRUE(showsAll({QString::fromStdString(chosen.string()), "Reset"}));
  popover->screenshot("settings-saved-custom");
  ASSERT_TRUE(popover->press("Reset"));
  EXPECT_TRUE(goesAway("Reset"));
}

TEST_F(SettingsScreens, AnAddressWithoutAWebSocketSchemeShowsTheHint) {
  openPane("Multiplayer");
  EXPECT_FALSE(shows("Must start with ws:// or wss://"));
  stores.server.setUrlString("https://rooms.example");
  ASSERT_TRUE(showsAll({"Must start with ws:// or wss://", "Reset"}));
  popover->screenshot("settings-multiplayer-invalid");
  ASSERT_TRUE(popover->press("Reset"));
  EXPECT_TRUE(goesAway("Must start with ws:// or wss://"));
  EXPECT_FALSE(shows("Reset"));
}

}  // namespace
}  // namespace deskplay::ui
