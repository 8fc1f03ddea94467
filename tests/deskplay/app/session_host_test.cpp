#include "core/session/session_host.hpp"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QSignalSpy>
#include <filesystem>

#include "engine_fixture.hpp"
#include "host_stores.hpp"
#include "test_bundle.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using core::GameSupervisor;
using core::SessionState;

// A host over a fixture's supervisor, a packaged catalog and an input socket of its own.
struct HostFixture {
  explicit HostFixture(std::map<std::string, std::string> engine = {{"FAKE_ENGINE_END", "wait"}})
      : supervisor(fixture.makeSupervisor(fixture.environment(engine))),
        catalog(fixture.paths(), fixture.preferences, fixture.clock,
                platform::simulatedToolPaths("/nowhere"), fixture.environment()),
        log(fixture.paths().applicationLog(), fixture.clock),
        host(stores.with(*supervisor, catalog, socket), log) {}

  EngineFixture fixture{EngineFixture::Layout::packaged};
  std::unique_ptr<GameSupervisor> supervisor;
  core::CatalogStore catalog;
  core::InputSocket socket;
  HostStores stores{fixture};
  core::ArcadeLog log;
  core::SessionHost host;
};

TEST(SessionHostStart, RestoresLeftoversLoadsTheCatalogAndOpensTheSocket) {
  HostFixture h;
  fs::create_directories(h.fixture.stash());
  writeFile(h.fixture.stash() / "left-over.txt", "from a crash");
  addTestGame(h.fixture.resources() / "games", "snake");

  h.host.start();
  EXPECT_EQ(readFile(h.fixture.desktop() / "left-over.txt"), "from a crash");
  EXPECT_FALSE(fs::exists(h.fixture.stash()));
  ASSERT_EQ(h.catalog.games().size(), 1u) << h.catalog.refreshError().value_or("");
  EXPECT_EQ(h.catalog.games()[0].id, "snake");
  EXPECT_TRUE(h.socket.hasPort());
}

TEST(SessionHostStart, ReadsThePermissionsAndMovesSavedWorkBeforeTheCatalogLoads) {
  HostFixture h;
  h.stores.accessibility.setTrusted(false);
  const fs::path legacy = h.stores.dataFolder.legacyFolder();
  fs::create_directories(legacy);
  writeFile(legacy / "snake-save.json", "{}");
  fs::create_directories(h.fixture.paths().userGamesFolder());
  addTestGame(h.fixture.paths().userGamesFolder(), "pong");

  h.host.start();
  EXPECT_EQ(readFile(h.stores.dataFolder.url() / "snake-save.json"), "{}");
  EXPECT_FALSE(fs::exists(legacy / "snake-save.json"));
  ASSERT_EQ(h.catalog.games().size(), 1u) << h.catalog.refreshError().value_or("");
  EXPECT_EQ(h.catalog.games()[0].id, "pong");
  EXPECT_NE(readFile(h.fixture.paths().applicationLog())
                .find("perms: accessibility=false inputMonitoring=true"),
            std::string::npos);
}

TEST(SessionHostStart, AStashThatCannotBeRestoredDoesNotStopStartUp) {
  HostFixture h;
  fs::create_directories(h.fixture.stash());
  writeFile(h.fixture.stash() / "a.txt", "stashed");
  writeFile(h.fixture.desktop() / "a.txt", "clash");

  h.host.start();
  EXPECT_EQ(readFile(h.fixture.stash() / "a.txt"), "stashed");
  EXPECT_TRUE(h.socket.hasPort());
  EXPECT_EQ(h.catalog.refreshError(), "No games found in this build.");
}

TEST(SessionHostStop, ShowsGoodbyeAndTerminatesTheEngine) {
  HostFixture h({{"FAKE_ENGINE_END", "wait"}, {"FAKE_ENGINE_TERM_PHASE", "child-complete"}});
  EXPECT_FALSE(h.host.stop());

  writeFile(h.fixture.desktop() / "a.txt", "a");
  h.supervisor->play(h.fixture.game(), {});
  ASSERT_TRUE(waitUntil([&] { return h.fixture.engineStarted(); }));
  QSignalSpy ended(h.supervisor.get(), &GameSupervisor::sessionEnded);
  ASSERT_TRUE(h.host.stop());
  ASSERT_NE(h.supervisor->feedback(), nullptr);
  EXPECT_EQ(h.supervisor->feedback()->statusWindow()->phase(), "restoring");

  ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
  EXPECT_TRUE(ended.at(0).at(0).toBool());
  EXPECT_EQ(h.fixture.termsReceived(), 1);
  EXPECT_TRUE(fs::exists(h.fixture.desktop() / "a.txt"));
  EXPECT_EQ(h.supervisor->state(), SessionState::idle);
}

TEST(SessionHostQuit, DuringAGameTerminatesOnceAndReturnsAtOnce) {
  HostFixture h({{"FAKE_ENGINE_END", "wait"}, {"FAKE_ENGINE_TERM_PHASE", "child-complete"}});
  writeFile(h.fixture.desktop() / "a.txt", "a");
  h.supervisor->play(h.fixture.game(), {});
  ASSERT_TRUE(waitUntil([&] { return h.fixture.engineStarted(); }));
  QSignalSpy ready(&h.host, &core::SessionHost::quitReady);

  h.host.quit();
  h.host.quit();
  // Nothing was waited for: the engine is still there and the desktop still stashed.
  EXPECT_NE(h.supervisor->process(), nullptr);
  EXPECT_EQ(ready.count(), 0);
  EXPECT_FALSE(fs::exists(h.fixture.desktop() / "a.txt"));

  ASSERT_TRUE(waitUntil([&] { return ready.count() == 1; }));
  EXPECT_EQ(h.fixture.termsReceived(), 1);
  EXPECT_TRUE(fs::exists(h.fixture.desktop() / "a.txt"));
  EXPECT_EQ(h.supervisor->state(), SessionState::idle);
}

TEST(SessionHostQuit, WhenIdleIsReadyAtOnce) {
  HostFixture h;
  QSignalSpy ready(&h.host, &core::SessionHost::quitReady);
  h.host.quit();
  ASSERT_TRUE(waitUntil([&] { return ready.count() == 1; }));
  h.host.quit();
  QCoreApplication::processEvents();
  EXPECT_EQ(ready.count(), 1);
}

}  // namespace
}  // namespace deskplay::testing
