#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "core/settings/server_url.hpp"
#include "ui/models/settings_model.hpp"
#include "ui/testing/menu_test_stores.hpp"

namespace deskplay::ui {
namespace {

using State = core::AccountStore::State;
using platform::LoginItems;
using platform::PreferenceValue;
using platform::testing::FakeLoginItems;
using testing::MenuTestStores;

class SettingsPanes : public ::testing::Test {
 protected:
  MenuTestStores stores;
  SettingsModel settings{{stores.account, stores.server, stores.loginItem, stores.sounds,
                          stores.host.permissions, stores.host.hotkeys, stores.host.dataFolder,
                          *stores.supervisor, stores.fixture.workspace}};
  const QString hosted = QString::fromUtf8(core::kDefaultServerUrl.data());
};

TEST_F(SettingsPanes, AccountPaneWordsEveryStateOfTheAccount) {
  AccountPaneModel& pane = *settings.account();
  EXPECT_EQ(pane.state(), "signedOut");
  EXPECT_EQ(pane.title(), "Not signed in");
  EXPECT_EQ(pane.subtitle(),
            "Online play on the hosted room server needs an account. Solo games never do.");
  EXPECT_EQ(pane.error(), "");

  pane.signIn();
  EXPECT_EQ(pane.state(), "pending");
  EXPECT_EQ(pane.title(), "Finish signing in in your browser");
  EXPECT_EQ(pane.subtitle(), "Deskplay will return here automatically after Patreon.");
  pane.reopenPage();
  EXPECT_EQ(stores.fixture.workspace.openedUrls().size(), 2u);
  pane.cancelSignIn();
  EXPECT_EQ(pane.state(), "signedOut");

  deskplay::testing::FakeHttpServer roomServer;
  stores.storeSessionKnownTo(roomServer);
  stores.account.refresh();
  EXPECT_EQ(pane.title(), "Checking…") << "a signed-out account being read again";
  ASSERT_TRUE(QTest::qWaitFor([&] { return pane.state() == "signedIn"; }));
  EXPECT_EQ(pane.title(), "Signed in");
  EXPECT_EQ(pane.subtitle(), "ada@example.com");
  pane.signOut();
  EXPECT_EQ(pane.state(), "signedOut");
  EXPECT_EQ(pane.title(), "Not signed in");
}

TEST_F(SettingsPanes, AccountPaneShowsTheStoresMessage) {
  deskplay::testing::FakeHttpServer roomServer;
  roomServer.route("POST", "/api/auth/one-time-token/verify",
                   deskplay::testing::jsonReply(400, "{}"));
  ASSERT_TRUE(stores.fixture.preferences
                  .setValue("serverURL", {"ws://127.0.0.1:" + std::to_string(roomServer.port())})
                  .ok());
  AccountPaneModel& pane = *settings.account();
  stores.account.handleSignInURL(QUrl("deskplay://signin?token=used"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !pane.error().isEmpty(); }));
  EXPECT_EQ(pane.error(), "That sign-in link expired or was already used. Try again.");
}

TEST_F(SettingsPanes, AccountFootnoteNamesTheRoomServerAsTyped) {
  AccountPaneModel& pane = *settings.account();
  EXPECT_EQ(pane.footnote(),
            "Signs in against " + hosted + " — change the room server under Multiplayer.");
  QSignalSpy changed(&pane, &AccountPaneModel::changed);
  settings.multiplayer()->setUrlString("ws://rooms.example:8080");
  EXPECT_EQ(changed.count(), 1);
  EXPECT_EQ(pane.footnote(),
            "Signs in against ws://rooms.example:8080 — change the room server under Multiplayer.");
}

TEST_F(SettingsPanes, LaunchAtLoginShowsWhatTheSystemRegistered) {
  struct Case {
    const char* name;
    FakeLoginItems::RegistrationAnswer answer;
    bool shown;
  };
  for (const Case& c :
       {Case{"enabled", FakeLoginItems::RegistrationAnswer::enable, true},
        Case{"held for approval", FakeLoginItems::RegistrationAnswer::holdForApproval, false},
        Case{"refused", FakeLoginItems::RegistrationAnswer::refuse, false}}) {
    SCOPED_TRACE(c.name);
    stores.loginItems.setStatus(LoginItems::ServiceStatus::notRegistered);
    stores.loginItems.answerRegistrations(c.answer);
    GeneralPaneModel& pane = *settings.general();
    QSignalSpy changed(&pane, &GeneralPaneModel::changed);
    pane.setLaunchAtLogin(true);
    EXPECT_EQ(pane.launchAtLogin(), c.shown);
    EXPECT_GE(changed.count(), 1) << "the switch is told what it shows";
  }
  settings.general()->setLaunchAtLogin(false);
  EXPECT_FALSE(settings.general()->launchAtLogin());
}

TEST_F(SettingsPanes, GameSoundsStoreTheSwitchAndTellTheEngine) {
  GeneralPaneModel& pane = *settings.general();
  EXPECT_TRUE(pane.gameSounds());
  pane.setGameSounds(false);
  EXPECT_FALSE(pane.gameSounds());
  EXPECT_EQ(stores.fixture.preferences.value(core::kSoundsEnabledKey), PreferenceValue(false));
  pane.setGameSounds(true);
  EXPECT_EQ(stores.mutedAnnouncements, (std::vector<bool>{true, false}));
}

TEST_F(SettingsPanes, PermissionRowsFollowTheGrants) {
  struct Case {
    const char* name;
    bool accessibility;
    bool inputMonitoring;
  };
  for (const Case& c : {Case{"both", true, true}, Case{"accessibility only", true, false},
                        Case{"input monitoring only", false, true}, Case{"none", false, false}}) {
    SCOPED_TRACE(c.name);
    stores.host.accessibility.setTrusted(c.accessibility);
    stores.host.privacy.setAccess(c.inputMonitoring ? platform::PrivacyChecks::Access::granted
                                                    : platform::PrivacyChecks::Access::denied);
    stores.host.permissions.refresh();
    PermissionsPaneModel& pane = *settings.permissions();
    const QVariantList rows = pane.rows();
    ASSERT_EQ(rows.size(), 2);
    const QVariantMap accessibility = rows[0].toMap();
    const QVariantMap inputMonitoring = rows[1].toMap();
    EXPECT_EQ(accessibility["title"], "Accessibility");
    EXPECT_EQ(accessibility["subtitle"], "Lets a game capture your keyboard");
    EXPECT_EQ(accessibility["granted"], c.accessibility);
    EXPECT_EQ(inputMonitoring["title"], "Input Monitoring");
    EXPECT_EQ(inputMonitoring["subtitle"], "Reads key presses while a game runs");
    EXPECT_EQ(inputMonitoring["granted"], c.inputMonitoring);
    EXPECT_EQ(pane.anyMissing(), !c.accessibility || !c.inputMonitoring);
    EXPECT_EQ(pane.offersRelaunch(), !c.inputMonitoring);
  }
}

TEST_F(SettingsPanes, OnlyAMissingPermissionOpensItsSystemSettingsPage) {
  stores.host.accessibility.setTrusted(true);
  stores.host.privacy.setAccess(platform::PrivacyChecks::Access::denied);
  stores.host.permissions.refresh();
  PermissionsPaneModel& pane = *settings.permissions();
  pane.open("Privacy_Accessibility");
  pane.open("Privacy_Camera");
  pane.open("Privacy_ListenEvent");
  EXPECT_EQ(stores.fixture.workspace.openedUrls(),
            (std::vector<std::string>{
                "x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent"}));
  pane.relaunch();
  EXPECT_EQ(stores.host.relaunches, 1);
}

TEST_F(SettingsPanes, StopHotkeyRowWhileRecordingAndAfter) {
  ControlsPaneModel& pane = *settings.controls();
  EXPECT_EQ(pane.resetTitle(), "Reset to ⌃⌥Q");
  EXPECT_EQ(pane.subtitle(), "Quits the running game and restores your desktop");
  EXPECT_EQ(pane.hotkeyTitle(), "⌃⌥Q");

  pane.toggleRecording();
  EXPECT_TRUE(stores.host.keyTap.recording());
  EXPECT_EQ(pane.subtitle(), "Press a key combination (⎋ to cancel)…");
  EXPECT_EQ(pane.hotkeyTitle(), "Cancel");
  pane.toggleRecording();
  EXPECT_FALSE(stores.host.keyTap.recording());
  EXPECT_EQ(pane.hotkeyTitle(), "⌃⌥Q");

  pane.toggleRecording();
  core::Hotkey recorded{1, false, false, true, true, "S"};
  stores.host.hotkeys.finishRecording(recorded);
  EXPECT_FALSE(pane.recording());
  EXPECT_EQ(pane.hotkeyTitle(), "⇧⌘S");
  EXPECT_EQ(stores.host.keyTap.stopHotkey(), recorded);

  pane.resetHotkey();
  EXPECT_EQ(pane.hotkeyTitle(), "⌃⌥Q");
  EXPECT_EQ(stores.host.hotkeys.load(), core::defaultStopHotkey()) << "the default is stored";
}

TEST_F(SettingsPanes, ChoosingTheDataFolderGoesThroughTheOpenPanel) {
  SavedPaneModel& pane = *settings.saved();
  const auto defaultFolder = stores.fixture.home() / "Documents" / "Deskplay";
  EXPECT_EQ(pane.folder().toStdString(), defaultFolder.string());
  EXPECT_FALSE(pane.offersReset());

  pane.choose();
  const auto panels = stores.fixture.workspace.openPanels();
  ASSERT_EQ(panels.size(), 1u);
  EXPECT_EQ(panels[0].startingFolder, defaultFolder);
  EXPECT_EQ(panels[0].prompt, "Choose");
  EXPECT_EQ(panels[0].folderCreation, platform::FolderChoice::Creation::allowed);
  ASSERT_TRUE(stores.fixture.workspace.answerOpenPanel(std::nullopt));
  EXPECT_EQ(pane.folder().toStdString(), defaultFolder.string()) << "cancelled";

  const auto chosen = stores.fixture.home() / "Work";
  pane.choose();
  ASSERT_TRUE(stores.fixture.workspace.answerOpenPanel(chosen));
  EXPECT_EQ(pane.folder().toStdString(), chosen.string());
  EXPECT_TRUE(pane.offersReset());
  EXPECT_EQ(stores.fixture.preferences.value("dataDir"), PreferenceValue(chosen.string()));

  pane.choose();
  EXPECT_EQ(stores.fixture.workspace.openPanels().back().startingFolder, chosen);
  ASSERT_TRUE(stores.fixture.workspace.answerOpenPanel(std::nullopt));

  pane.reset();
  EXPECT_EQ(pane.folder().toStdString(), defaultFolder.string());
  EXPECT_FALSE(pane.offersReset());
  EXPECT_FALSE(stores.fixture.preferences.value("dataDir").has_value());
}

TEST_F(SettingsPanes, AFolderChosenAfterTheScreensWentAwayIsDropped) {
  auto screens = std::make_unique<SettingsModel>(SettingsModel::Stores{
      stores.account, stores.server, stores.loginItem, stores.sounds, stores.host.permissions,
      stores.host.hotkeys, stores.host.dataFolder, *stores.supervisor, stores.fixture.workspace});
  screens->saved()->choose();
  screens.reset();
  ASSERT_TRUE(stores.fixture.workspace.answerOpenPanel(stores.fixture.home() / "Work"));
  EXPECT_TRUE(stores.host.dataFolder.isDefault());
}

TEST_F(SettingsPanes, RoomServerHintAndResetFollowTheTypedText) {
  struct Case {
    const char* typed;
    bool hint;
    bool reset;
  };
  MultiplayerPaneModel& pane = *settings.multiplayer();
  for (const Case& c :
       {Case{"wss://rooms.deskplay.app", false, false},
        Case{"  wss://rooms.deskplay.app\t", false, false},
        Case{"ws://127.0.0.1:9000", false, true}, Case{"https://rooms.example", true, true},
        Case{"WS://rooms.example", true, true}, Case{"", true, true}}) {
    SCOPED_TRACE(c.typed);
    pane.setUrlString(c.typed);
    EXPECT_EQ(pane.showsHint(), c.hint);
    EXPECT_EQ(pane.offersReset(), c.reset);
  }
  EXPECT_FALSE(stores.fixture.preferences.value("serverURL").has_value())
      << "typing stores nothing";
}

TEST_F(SettingsPanes, RoomServerIsStoredOnSubmitAndResetRemovesIt) {
  MultiplayerPaneModel& pane = *settings.multiplayer();
  pane.setUrlString(" ws://127.0.0.1:9000 ");
  pane.commit();
  EXPECT_EQ(pane.urlString(), "ws://127.0.0.1:9000");
  EXPECT_EQ(core::resolvedServerURL(stores.fixture.preferences), "ws://127.0.0.1:9000");
  pane.reset();
  EXPECT_EQ(pane.urlString(), hosted);
  EXPECT_FALSE(pane.offersReset());
  EXPECT_FALSE(stores.fixture.preferences.value("serverURL").has_value());
}

}  // namespace
}  // namespace deskplay::ui
