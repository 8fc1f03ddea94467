// The popover's settings panes worked by clicks and keys on simdesk, with the real application,
// engine and companions: each pane's main action reaches the system, the running game or the
// next game.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "deskplay/keys/engine_client.hpp"
#include "popover_session.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr int kA = 0;
constexpr int kS = 1;
constexpr int kQ = 12;
constexpr int kReturn = 36;
constexpr int kEscape = 53;
// Keys snake leaves alone before its first arrow key.
constexpr int kBacktick = 50;
constexpr int kBackslash = 42;

constexpr const char* kDefaultStopHotkey = "⌃⌥Q";
constexpr const char* kRoomServerHint = "Must start with ws:// or wss://";
constexpr const char* kHostedRoomServer = "wss://rooms.deskplay.app";

bool hasLine(const std::string& text, const std::string& line) {
  std::istringstream lines(text);
  for (std::string each; std::getline(lines, each);) {
    if (each == line) return true;
  }
  return false;
}

class PopoverSettings : public PopoverSession {
 protected:
  // Opens the popover and goes through the settings menu to the pane titled `category`.
  void openPane(const std::string& category) {
    ASSERT_NO_FATAL_FAILURE(openPopover());
    ASSERT_NO_FATAL_FAILURE(clickElement("Settings"));
    ASSERT_NO_FATAL_FAILURE(clickElement(category));
    ASSERT_TRUE(eventually([&] { return !shows("AXButton", category); }))
        << "the settings menu stayed instead of the " << category << " pane";
  }

  void play(const std::string& game) {
    const Completed started = desk_.deskplay({"play", game});
    ASSERT_EQ(started.status, 0) << started.errors;
    ASSERT_NO_FATAL_FAILURE(waitUntilPlaying(game));
    // A popover left open gives way to the game.
    expectPopoverClosed();
  }

  void stopWithHotkey(int keyCode) {
    desk_.pressKey(keyCode, "control,option");
    expectDesktopBack();
  }

  std::string engineVariable(const std::string& name) const {
    const auto environment = desk_.engineEnvironment();
    const auto found = environment.find(name);
    return found == environment.end() ? "" : found->second;
  }

  // A client of the input socket the running engine was given, as the engine is one: it gets
  // every message Deskplay sends the engine from the time it is accepted.
  std::unique_ptr<EngineClient> listenAsTheEngine() const {
    const std::string port = engineVariable("DESKPLAY_PORT");
    EXPECT_FALSE(port.empty()) << "the engine got no input socket";
    if (port.empty()) return nullptr;
    auto client = std::make_unique<EngineClient>(std::stoi(port));
    EXPECT_TRUE(client->connected());
    // A key sent before the socket accepted the client never reaches it: keys are pressed
    // until one does.
    EXPECT_TRUE(eventually([&] {
      desk_.pressKey(kBacktick);
      return client->readLine(std::chrono::milliseconds(200)).has_value();
    })) << "the input socket never passed a key on";
    return client;
  }

  // The next message that is no key; nothing when none comes in time.
  static std::optional<json> nextMessageOtherThanKeys(EngineClient& engine) {
    for (auto line = engine.readLine(); line; line = engine.readLine()) {
      if ((*line)["type"] != "keydown") return line;
    }
    return std::nullopt;
  }

  // The messages other than keys that reach the engine before a key pressed now does.
  std::vector<json> messagesBeforeAKeyPressedNow(EngineClient& engine) const {
    desk_.pressKey(kBackslash);
    std::vector<json> messages;
    for (auto line = engine.readLine(); line; line = engine.readLine()) {
      if ((*line)["type"] != "keydown") {
        messages.push_back(*line);
      } else if ((*line)["keyCode"] == kBackslash) {
        return messages;
      }
    }
    ADD_FAILURE() << "the key pressed never reached the engine";
    return messages;
  }
};

TEST_F(PopoverSettings, LaunchAtLoginAddsAndRemovesTheAutostartEntryOfDeskplay) {
  ASSERT_NO_FATAL_FAILURE(start());
  const fs::path entry = desk_.home() / ".config/autostart/deskplay.desktop";
  ASSERT_FALSE(fs::exists(entry));

  ASSERT_NO_FATAL_FAILURE(openPane("General"));
  ASSERT_NO_FATAL_FAILURE(clickElement("Launch at login", "AXCheckBox"));
  ASSERT_TRUE(eventually([&] { return fs::exists(entry); }))
      << "no autostart entry after \"Launch at login\" was turned on";
  const fs::path executable = fs::canonical(builtBundle() / "Contents/MacOS/Deskplay");
  EXPECT_TRUE(hasLine(readFile(entry), "Exec=" + executable.string())) << readFile(entry);
  desk_.screenshot("settings-general");

  ASSERT_NO_FATAL_FAILURE(clickElement("Launch at login", "AXCheckBox"));
  EXPECT_TRUE(eventually([&] { return !fs::exists(entry); }))
      << "the autostart entry stayed after \"Launch at login\" was turned off";
}

TEST_F(PopoverSettings, GameSoundsTurnedOffDuringAGameMuteItOnceAndTheNextGameStartsMuted) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(play("snake"));
  EXPECT_EQ(engineVariable("DESKPLAY_MUTED"), "");
  const std::unique_ptr<EngineClient> engine = listenAsTheEngine();
  ASSERT_NE(engine, nullptr);

  ASSERT_NO_FATAL_FAILURE(openPane("General"));
  ASSERT_NO_FATAL_FAILURE(clickElement("Game sounds", "AXCheckBox"));
  EXPECT_EQ(nextMessageOtherThanKeys(*engine), (json{{"type", "set-muted"}, {"muted", true}}));
  EXPECT_EQ(messagesBeforeAKeyPressedNow(*engine), std::vector<json>{})
      << "the switch was announced more than once";
  desk_.screenshot("settings-general-during-a-game");

  // Back through the settings menu to the game being played.
  ASSERT_NO_FATAL_FAILURE(clickElement("Back"));
  ASSERT_TRUE(eventually([&] { return shows("AXButton", "General"); }));
  ASSERT_NO_FATAL_FAILURE(clickElement("Back"));
  EXPECT_TRUE(eventually([&] { return shows("AXStaticText", "Now playing"); }))
      << "the settings did not go back to the game being played";

  ASSERT_NO_FATAL_FAILURE(stopWithHotkey(kQ));
  ASSERT_NO_FATAL_FAILURE(play("snake"));
  EXPECT_EQ(engineVariable("DESKPLAY_MUTED"), "1");
  stopWithHotkey(kQ);
}

TEST_F(PopoverSettings, ARecordedStopHotkeyEndsTheNextGameAndTheOldOneBecomesAGameKey) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(openPane("Controls"));
  const auto startRecording = [&] {
    ASSERT_NO_FATAL_FAILURE(clickElement(kDefaultStopHotkey));
    ASSERT_TRUE(eventually([&] {
      return shows("AXButton", "Cancel") && desk_.status()["keyTap"]["recording"] == true;
    })) << "pressing the hotkey's button did not start a recording";
  };
  // Escape cancels a recording and keeps the hotkey.
  ASSERT_NO_FATAL_FAILURE(startRecording());
  desk_.pressKey(kEscape);
  ASSERT_TRUE(eventually([&] { return desk_.status()["keyTap"]["recording"] == false; }));
  EXPECT_EQ(desk_.status()["stopHotkey"], kDefaultStopHotkey);

  ASSERT_NO_FATAL_FAILURE(startRecording());
  desk_.screenshot("settings-controls-recording");

  desk_.pressKey(kS, "control,option");
  ASSERT_TRUE(eventually([&] { return desk_.status()["stopHotkey"] == "⌃⌥S"; }))
      << desk_.status().dump();
  EXPECT_TRUE(eventually([&] { return shows("AXButton", "⌃⌥S"); }))
      << "the button does not show the recorded hotkey";
  desk_.screenshot("settings-controls");

  ASSERT_NO_FATAL_FAILURE(play("snake"));
  const int keysBefore = desk_.status()["keyTap"]["count"].get<int>();
  desk_.pressStopHotkey();
  ASSERT_TRUE(eventually([&] {
    const json tap = desk_.status()["keyTap"];
    return tap["count"].get<int>() > keysBefore && tap["lastKeyCode"] == kQ;
  })) << "the old hotkey did not reach the game as a key: "
      << desk_.status().dump();
  EXPECT_EQ(desk_.status()["currentGame"], "snake") << "the old hotkey stopped the game";
  ASSERT_NO_FATAL_FAILURE(stopWithHotkey(kS));

  ASSERT_NO_FATAL_FAILURE(openPane("Controls"));
  ASSERT_NO_FATAL_FAILURE(clickElement(std::string("Reset to ") + kDefaultStopHotkey));
  EXPECT_TRUE(eventually([&] { return desk_.status()["stopHotkey"] == kDefaultStopHotkey; }));
  EXPECT_TRUE(eventually([&] { return shows("AXButton", kDefaultStopHotkey); }));
}

TEST_F(PopoverSettings, AChosenDataFolderIsTheNextGamesDataFolder) {
  ASSERT_NO_FATAL_FAILURE(start());
  const fs::path work = desk_.home() / "Work";
  fs::create_directories(work);

  ASSERT_NO_FATAL_FAILURE(openPane("Saved Games & Exports"));
  ASSERT_TRUE(eventually([&] { return shows("AXButton", "Choose"); }));
  EXPECT_FALSE(shows("AXButton", "Reset")) << "the default folder offers a reset";
  ASSERT_NO_FATAL_FAILURE(clickElement("Choose"));
  ASSERT_TRUE(eventually([&] {
    return desk_.simdesk().ctl({"open-panel", "choose", work.string()}).status == 0;
  })) << "no open panel to choose the folder in";
  EXPECT_TRUE(eventually([&] { return shows("AXButton", "Reset"); }))
      << "the chosen folder does not offer a reset";
  desk_.screenshot("settings-saved-games");

  ASSERT_NO_FATAL_FAILURE(play("snake"));
  EXPECT_EQ(engineVariable("DESKPLAY_DATA_DIR"), work.string());
  stopWithHotkey(kQ);
}

TEST_F(PopoverSettings, AMissingPermissionsRowOpensItsSystemSettingsPageUntilItIsGranted) {
  ASSERT_NO_FATAL_FAILURE(start([&] {
    const Completed revoked =
        desk_.simdesk().ctl({"privacy", "revoke", "input-monitoring", "Deskplay"});
    ASSERT_EQ(revoked.status, 0) << revoked.errors;
  }));
  ASSERT_NO_FATAL_FAILURE(openPane("Permissions"));
  EXPECT_TRUE(eventually([&] { return shows("AXButton", "Relaunch"); }))
      << "no relaunch offered while Input Monitoring is missing";
  desk_.screenshot("settings-permissions");

  ASSERT_NO_FATAL_FAILURE(clickElement("Input Monitoring"));
  const std::string page =
      "opened x-apple.systempreferences:com.apple.preference.security?Privacy_ListenEvent";
  EXPECT_TRUE(eventually([&] {
    return desk_.simdesk().ctl({"prompts"}).output.find(page) != std::string::npos;
  })) << desk_.simdesk().ctl({"prompts"}).output;

  ASSERT_EQ(desk_.simdesk().ctl({"privacy", "grant", "input-monitoring", "Deskplay"}).status, 0);
  EXPECT_TRUE(eventually([&] { return !shows("AXButton", "Relaunch"); }))
      << "the pane still offers a relaunch after Input Monitoring was granted";
}

// What is typed into the room server's field and committed with Return, and what the next game
// gets as its room server.
struct RoomServerCase {
  const char* name;
  const char* typed;
  bool hinted;
  const char* gameServerUrl;
};

void PrintTo(const RoomServerCase& typed, std::ostream* out) {
  *out << typed.typed;
}

class PopoverSettingsRoomServer : public PopoverSettings,
                                  public ::testing::WithParamInterface<RoomServerCase> {};

TEST_P(PopoverSettingsRoomServer, ACommittedAddressReachesTheNextGameOnlyAsAWebSocketUrl) {
  const RoomServerCase& typed = GetParam();
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(openPane("Multiplayer"));
  ASSERT_NO_FATAL_FAILURE(clickElement("Room server", "AXTextField"));
  // ⌘A selects what the field holds, and typing replaces it.
  desk_.pressKey(kA, "command");
  const Completed typing = desk_.simdesk().ctl({"type", typed.typed});
  ASSERT_EQ(typing.status, 0) << typing.errors;
  EXPECT_TRUE(eventually([&] { return shows("AXStaticText", kRoomServerHint) == typed.hinted; }))
      << "the hint " << (typed.hinted ? "never showed" : "stayed") << " for " << typed.typed;
  desk_.pressKey(kReturn);
  EXPECT_TRUE(eventually([&] { return shows("AXButton", "Reset"); }))
      << "a committed address of our own does not offer a reset";
  desk_.screenshot(std::string("settings-multiplayer-") + typed.name);

  ASSERT_NO_FATAL_FAILURE(play("snake"));
  EXPECT_EQ(engineVariable("GAME_SERVER_URL"), typed.gameServerUrl);
  stopWithHotkey(kQ);
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, PopoverSettingsRoomServer,
    ::testing::Values(RoomServerCase{"websocket", "ws://127.0.0.1:9", false, "ws://127.0.0.1:9"},
                      RoomServerCase{"http", "http://x", true, kHostedRoomServer}),
    [](const ::testing::TestParamInfo<RoomServerCase>& shown) { return shown.param.name; });

// How a game ended uncleanly: its engine killed, perhaps while a file of the same name as one
// of the user's stood on the Desktop, which keeps the user's file aside until it is gone.
struct UncleanEnd {
  const char* name;
  bool fileInTheWay;
};

void PrintTo(const UncleanEnd& end, std::ostream* out) {
  *out << end.name;
}

class PopoverSettingsAfterAnUncleanEnd : public PopoverSettings,
                                         public ::testing::WithParamInterface<UncleanEnd> {};

TEST_P(PopoverSettingsAfterAnUncleanEnd, RestoreMyDesktopNowPutsTheDesktopBackAndEndsTheSession) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(play("snake"));
  const std::optional<pid_t> engine = desk_.enginePid();
  ASSERT_TRUE(engine);
  // Stopped first, so that the engine never sees the file in its way.
  ASSERT_EQ(::kill(*engine, SIGSTOP), 0);
  const std::string inTheWay = "saved during the game\n";
  if (GetParam().fileInTheWay) writeFile(desk_.desktop() / "notes.txt", inTheWay);
  ASSERT_EQ(::kill(*engine, SIGKILL), 0);
  ASSERT_TRUE(eventually([&] { return desk_.status().value("session", "") == "needsAttention"; }))
      << desk_.status().dump();
  if (GetParam().fileInTheWay) {
    EXPECT_EQ(desk_.userEntries()["notes.txt"], inTheWay);
    fs::remove(desk_.desktop() / "notes.txt");
  }

  ASSERT_NO_FATAL_FAILURE(openPane("Desktop Safety"));
  desk_.screenshot(std::string("settings-desktop-safety-") + GetParam().name);
  ASSERT_NO_FATAL_FAILURE(clickElement("Restore my desktop now"));
  expectDesktopBack();
}

INSTANTIATE_TEST_SUITE_P(
    Ends, PopoverSettingsAfterAnUncleanEnd,
    ::testing::Values(UncleanEnd{"engine_killed", false},
                      UncleanEnd{"engine_killed_with_a_file_in_the_way", true}),
    [](const ::testing::TestParamInfo<UncleanEnd>& shown) { return shown.param.name; });

}  // namespace
}  // namespace deskplay::testing
