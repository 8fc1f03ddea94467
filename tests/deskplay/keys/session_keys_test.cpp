// The session host's key wiring over a fake event tap: start-up hands the stored stop hotkey
// and the callbacks to the tap, the supervisor switches capturing, captured keys reach the
// input socket's clients, the stop hotkey is the stop action, and a recording ends in the
// hotkey store.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <memory>
#include <string>

#include "core/hotkey/hotkey_store.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/session_host.hpp"
#include "engine_client.hpp"
#include "engine_fixture.hpp"
#include "host_stores.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
namespace flags = platform::event_flags;
using namespace std::chrono_literals;
using core::Hotkey;
using platform::TapVerdict;

const Hotkey kControlShiftK{40, true, false, true, false, "K"};

platform::Event keyDown(std::int64_t keyCode, const std::string& characters,
                        std::uint64_t modifiers = 0) {
  platform::Event event;
  event.keyCode = keyCode;
  event.flags = modifiers;
  event.characters = characters;
  event.charactersIgnoringModifiers = characters;
  return event;
}

void storeHotkey(platform::Preferences& preferences, const Hotkey& hotkey) {
  const std::string json = core::encodeHotkey(hotkey).value();
  ASSERT_TRUE(
      preferences
          .setValue(core::kStopHotkeyKey, platform::PreferenceData{{json.begin(), json.end()}})
          .ok());
}

// A host over a supervisor running the fake engine until it is told to stop, a packaged
// catalog, an input socket, and a key tap over fakes.
struct KeysHost {
  KeysHost()
      : supervisor(fixture.makeSupervisor(fixture.environment(
            {{"FAKE_ENGINE_END", "wait"}, {"FAKE_ENGINE_TERM_PHASE", "child-complete"}}))),
        catalog(fixture.paths(), fixture.preferences, fixture.clock,
                platform::simulatedToolPaths("/nowhere"), fixture.environment()),
        log(fixture.paths().applicationLog(), fixture.clock),
        host(stores.with(*supervisor, catalog, fixture.inputSocket), log) {}

  bool play() {
    supervisor->play(fixture.game(), {});
    return supervisor->process() != nullptr &&
           waitUntil([this] { return fixture.engineStarted(); });
  }

  // A client of the input socket that the socket has accepted, so every later line reaches it.
  std::unique_ptr<EngineClient> connectClient() {
    const int before = fixture.inputSocket.connectionCount();
    auto client = std::make_unique<EngineClient>(fixture.inputSocket.port());
    EXPECT_TRUE(client->connected());
    EXPECT_TRUE(eventually([&] { return fixture.inputSocket.connectionCount() == before + 1; }));
    return client;
  }

  EngineFixture fixture{EngineFixture::Layout::packaged};
  std::unique_ptr<core::GameSupervisor> supervisor;
  core::CatalogStore catalog;
  HostStores stores{fixture};
  platform::testing::FakeEventTaps& eventTaps = stores.eventTaps;
  platform::testing::FakeAccessibility& accessibility = stores.accessibility;
  platform::testing::FakePrivacyChecks& privacy = stores.privacy;
  core::KeyTap& keyTap = stores.keyTap;
  core::HotkeyStore& hotkeys = stores.hotkeys;
  core::ArcadeLog log;
  core::SessionHost host;
};

TEST(SessionHostKeys, StartUpInstallsTheTapWithTheStoredHotkey) {
  KeysHost h;
  storeHotkey(h.fixture.preferences, kControlShiftK);
  core::HotkeyStore stored(h.fixture.preferences, h.keyTap);
  auto stores = h.stores.with(*h.supervisor, h.catalog, h.fixture.inputSocket);
  core::SessionHost host({stores.supervisor, stores.catalog, stores.inputSocket, stores.keyTap,
                          stored, stores.permissions, stores.dataFolder},
                         h.log);
  EXPECT_FALSE(h.keyTap.installed());
  EXPECT_EQ(h.keyTap.stopHotkey(), core::defaultStopHotkey());

  host.start();
  EXPECT_TRUE(h.keyTap.installed());
  EXPECT_TRUE(h.keyTap.trusted());
  EXPECT_EQ(h.eventTaps.enabledTapCount(), 1);
  EXPECT_EQ(h.keyTap.stopHotkey(), kControlShiftK);
  EXPECT_FALSE(h.keyTap.capturing());
}

TEST(SessionHostKeys, WithoutKeyboardAccessStartUpGoesOn) {
  KeysHost h;
  h.accessibility.setTrusted(false);
  h.privacy.setAccess(platform::PrivacyChecks::Access::denied);
  h.eventTaps.refuseTaps(true);
  h.host.start();
  EXPECT_FALSE(h.keyTap.installed());
  EXPECT_FALSE(h.keyTap.trusted());
  EXPECT_TRUE(h.fixture.inputSocket.hasPort());
  EXPECT_NE(readFile(h.fixture.paths().applicationLog()).find("key tap is not installed"),
            std::string::npos);
}

TEST(SessionHostKeys, AGameCapturesKeysForItsClientsUntilItEnds) {
  KeysHost h;
  h.host.start();
  ASSERT_TRUE(h.play());
  EXPECT_TRUE(h.keyTap.capturing());
  auto first = h.connectClient();
  auto second = h.connectClient();

  EXPECT_EQ(h.eventTaps.inject(keyDown(0, "a")), TapVerdict::swallow);
  EXPECT_EQ(first->readLine(), keyLine(0, "a"));
  EXPECT_EQ(second->readLine(), keyLine(0, "a"));

  // The stop action, from the hotkey: the engine is asked to end, and the desktop comes back.
  EXPECT_EQ(h.eventTaps.inject(keyDown(12, "q", flags::control | flags::option)),
            TapVerdict::swallow);
  ASSERT_TRUE(waitUntil([&] { return h.supervisor->state() == core::SessionState::idle; }));
  EXPECT_EQ(h.fixture.termsReceived(), 1);
  EXPECT_FALSE(h.keyTap.capturing());
  EXPECT_EQ(h.eventTaps.inject(keyDown(0, "a")), TapVerdict::pass);
  // The key would have gone out before a line sent now.
  h.fixture.inputSocket.sendMuted(true);
  EXPECT_EQ(first->readLine(), (nlohmann::json{{"type", "set-muted"}, {"muted", true}}));
}

TEST(SessionHostKeys, TheStopHotkeyWhenIdleIsAnOrdinaryKey) {
  KeysHost h;
  h.host.start();
  EXPECT_EQ(h.eventTaps.inject(keyDown(12, "q", flags::control | flags::option)), TapVerdict::pass);
  QCoreApplication::processEvents();
  EXPECT_EQ(h.keyTap.count(), 1);
}

TEST(SessionHostKeys, ARecordedHotkeyReachesTheStoreAndTheTap) {
  KeysHost h;
  h.host.start();
  h.hotkeys.startRecording();
  EXPECT_TRUE(h.keyTap.recording());
  h.eventTaps.inject(keyDown(0, "a"));
  h.eventTaps.inject(keyDown(40, "k", flags::control | flags::shift));
  ASSERT_TRUE(waitUntil([&] { return !h.hotkeys.recording(); }));
  EXPECT_EQ(h.hotkeys.hotkey(), kControlShiftK);
  EXPECT_EQ(h.keyTap.stopHotkey(), kControlShiftK);
  EXPECT_FALSE(h.keyTap.recording());
  EXPECT_EQ(h.hotkeys.load(), kControlShiftK);

  // Escape ends the next recording with the hotkey kept.
  h.hotkeys.startRecording();
  h.eventTaps.inject(keyDown(53, "\x1b"));
  ASSERT_TRUE(waitUntil([&] { return !h.hotkeys.recording(); }));
  EXPECT_FALSE(h.keyTap.recording());
  EXPECT_EQ(h.hotkeys.hotkey(), kControlShiftK);
}

}  // namespace
}  // namespace deskplay::testing
