#include "core/session/session_host.hpp"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QSignalSpy>
#include <filesystem>

#include "core/session/engine_process.hpp"
#include "core/session/engine_record.hpp"
#include "core/session/leftover_engine.hpp"
#include "engine_fixture.hpp"
#include "host_stores.hpp"
#include "process_watch.hpp"
#include "test_bundle.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using core::GameSupervisor;
using core::SessionState;
using Access = platform::PrivacyChecks::Access;

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
  // The model read Accessibility as granted when it was made: start-up's read shows itself.
  h.stores.accessibility.setTrusted(false);
  fs::create_directories(h.fixture.stash());
  writeFile(h.fixture.stash() / "left-over.txt", "from a crash");
  const fs::path legacy = h.stores.dataFolder.legacyFolder();
  fs::create_directories(legacy);
  writeFile(legacy / "snake-save.json", "{}");
  fs::create_directories(h.fixture.paths().userGamesFolder());
  addTestGame(h.fixture.paths().userGamesFolder(), "pong");

  // At each step that shows itself, what start-up had done by then.
  std::vector<std::string> steps;
  const auto note = [&](const std::string& step) {
    std::string done = step + ":";
    if (fs::exists(h.fixture.desktop() / "left-over.txt")) done += " restored";
    if (fs::exists(h.stores.dataFolder.url() / "snake-save.json")) done += " moved";
    if (!h.catalog.games().empty()) done += " catalog";
    if (h.socket.hasPort()) done += " socket";
    if (h.stores.eventTaps.tapCount() > 0) done += " tap";
    steps.push_back(done);
  };
  QObject::connect(&h.stores.permissions, &core::PermissionsModel::accessibilityChanged,
                   [&] { note("permissions"); });
  QObject::connect(&h.catalog, &core::CatalogStore::gamesChanged, [&] { note("catalog"); });
  QObject::connect(&h.socket, &core::InputSocket::portChanged, [&] { note("socket"); });
  QObject::connect(&h.stores.keyTap, &core::KeyTap::trustedChanged, [&] { note("key tap"); });

  h.host.start();
  note("started");
  EXPECT_EQ(steps, (std::vector<std::string>{
                       "permissions:",
                       "catalog: restored moved catalog",
                       "socket: restored moved catalog socket",
                       "key tap: restored moved catalog socket",
                       "started: restored moved catalog socket tap",
                   }));

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

// The id of a process that has come and gone.
pid_t goneProcess() {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(0);
  EXPECT_GT(child, 0);
  EXPECT_EQ(::waitpid(child, nullptr, 0), child);
  return child;
}

// An engine that an earlier run of the application started and left running when it died:
// the fake engine, launched as the supervisor launches it (a process group of its own) with
// a companion in its group and a keeper outside it, and recorded as the supervisor records
// it. Whatever is left of it goes with the test.
class LeftEngine {
 public:
  LeftEngine(EngineFixture& fixture, std::map<std::string, std::string> settings)
      : fixture_(fixture) {
    settings.emplace("FAKE_ENGINE_HELPERS", "1");
    const Status started =
        core::startEngineProcess(process_, {fakeEngineScript(), {}, std::nullopt},
                                 fixture.environment(settings), fixture.paths().gameLog());
    EXPECT_TRUE(started.ok()) << (started.ok() ? "" : started.message());
    pid = static_cast<pid_t>(process_.processId());
    reaper_.group(pid);
    reaper_.process(pid);
    EXPECT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));
    companion = std::stoi(readFile(fixture.recordDir() / "companion-pid"));
    keeper = std::stoi(readFile(fixture.recordDir() / "keeper-pid"));
    reaper_.process(companion);
    reaper_.process(keeper);
  }

  // The record the application that started it wrote before it died.
  core::EngineRecord record() const {
    auto record = core::engineRecordOf(pid);
    EXPECT_TRUE(record.ok()) << (record.ok() ? "" : record.message());
    if (!record.ok()) return {};
    record.value().owner = goneProcess();
    return record.value();
  }
  void recordAs(const core::EngineRecord& record) const {
    ASSERT_TRUE(core::writeEngineRecord(recordFile(), record).ok());
  }
  std::filesystem::path recordFile() const { return core::engineRecordFile(fixture_.paths()); }
  // The Desktop's entries when the engine got the terminate request.
  std::string desktopAtTerm() const { return readFile(fixture_.recordDir() / "desktop-at-term"); }
  // The companion's state then: "S\n" while it waits, as it does before anything ends it.
  std::string companionAtTerm() const {
    return readFile(fixture_.recordDir() / "companion-at-term");
  }

  pid_t pid = 0;
  pid_t companion = 0;
  pid_t keeper = 0;

 private:
  EngineFixture& fixture_;
  ProcessReaper reaper_;
  QProcess process_;
};

// The files of the user's Desktop, stashed by the game the earlier run was playing.
void stashAsACrashLeftIt(const EngineFixture& fixture) {
  fs::create_directories(fixture.stash());
  writeFile(fixture.stash() / "mine.txt", "mine");
}

TEST(SessionHostStart, EndsAnEngineLeftRunningBeforeTheDesktopComesBack) {
  HostFixture h;
  stashAsACrashLeftIt(h.fixture);
  LeftEngine engine(h.fixture, {{"FAKE_ENGINE_END", "wait"}});
  engine.recordAs(engine.record());

  h.host.start();
  // The engine had the terminate request while the files were still stashed; it has ended,
  // with the companion in its group, and only then did the files come back.
  EXPECT_EQ(h.fixture.termsReceived(), 1);
  EXPECT_EQ(engine.desktopAtTerm(), "");
  // The engine alone had it first: it still had its companions to put the desktop back with.
  EXPECT_EQ(engine.companionAtTerm(), "S\n");
  EXPECT_FALSE(processRuns(engine.pid));
  EXPECT_FALSE(processRuns(engine.companion));
  // The engine's tile keeper lives in a session of its own, and must outlive the engine.
  EXPECT_TRUE(processRuns(engine.keeper));
  EXPECT_EQ(readFile(h.fixture.desktop() / "mine.txt"), "mine");
  EXPECT_FALSE(fs::exists(h.fixture.stash()));
  EXPECT_FALSE(fs::exists(engine.recordFile()));
  EXPECT_NE(readFile(h.fixture.paths().applicationLog())
                .find("start-up: the engine of an earlier run still runs (process group " +
                      std::to_string(engine.pid) + ")"),
            std::string::npos);
}

TEST(SessionHostStart, LeavesAloneAProcessTheRecordNoLongerNames) {
  const struct {
    const char* name;
    std::function<void(const LeftEngine&)> record;
    std::string logged;
    bool recordKept = false;
  } cases[] = {
      {"the id belongs to a process that started at another time",
       [](const LeftEngine& e) {
         core::EngineRecord record = e.record();
         record.startTime = std::to_string(std::stoull(record.startTime) + 1);
         e.recordAs(record);
       },
       "is no longer the engine of an earlier run; left alone"},
      {"the record is from an earlier boot",
       [](const LeftEngine& e) {
         core::EngineRecord record = e.record();
         record.bootId = "a boot before the last restart";
         e.recordAs(record);
       },
       "ended with the system's restart"},
      {"the record cannot be read",
       [](const LeftEngine& e) { writeFile(e.recordFile(), "{\"processGroup\":"); },
       "start-up: engine record unusable, removed"},
      // Another instance, on another home, whose temporary folder is this one.
      {"the application that started it still runs",
       [](const LeftEngine& e) {
         core::EngineRecord record = e.record();
         record.owner = ::getpid();
         e.recordAs(record);
       },
       "which still runs; left alone", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostFixture h;
    stashAsACrashLeftIt(h.fixture);
    LeftEngine engine(h.fixture, {{"FAKE_ENGINE_END", "wait"}});
    c.record(engine);

    h.host.start();
    EXPECT_EQ(h.fixture.termsReceived(), 0);
    EXPECT_TRUE(processRuns(engine.pid));
    EXPECT_TRUE(processRuns(engine.companion));
    EXPECT_EQ(readFile(h.fixture.desktop() / "mine.txt"), "mine");
    EXPECT_EQ(fs::exists(engine.recordFile()), c.recordKept);
    EXPECT_NE(readFile(h.fixture.paths().applicationLog()).find(c.logged), std::string::npos)
        << readFile(h.fixture.paths().applicationLog());
  }
}

TEST(LeftoverEngine, AnEngineThatIgnoresTheTerminateRequestIsKilled) {
  EngineFixture fixture(EngineFixture::Layout::packaged);
  LeftEngine engine(fixture, {{"FAKE_ENGINE_END", "ignore-term"}});
  engine.recordAs(engine.record());
  const core::ArcadeLog log(fixture.paths().applicationLog(), fixture.clock);

  EXPECT_TRUE(core::endEngineLeftBehind(
      engine.recordFile(), log, {std::chrono::milliseconds(200), std::chrono::seconds(10)}));
  EXPECT_EQ(fixture.termsReceived(), 1);
  EXPECT_FALSE(processRuns(engine.pid));
  EXPECT_FALSE(processRuns(engine.companion));
  EXPECT_TRUE(processRuns(engine.keeper));
  EXPECT_FALSE(fs::exists(engine.recordFile()));
  EXPECT_NE(readFile(log.file()).find("after the terminate request; killing it"),
            std::string::npos);
}

// Accessibility takes effect at once; Input Monitoring only in a new process.
TEST(SessionHostPermissions, AccessibilityGrantedWhileRunningInstallsTheKeyTap) {
  const struct {
    const char* name;
    bool accessibility;
    Access inputMonitoring;
    bool installed;
  } cases[] = {
      {"accessibility", true, Access::denied, true},
      {"input monitoring alone waits for the relaunch", false, Access::granted, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    HostFixture h;
    h.stores.accessibility.setTrusted(false);
    h.stores.privacy.setAccess(Access::denied);
    h.stores.eventTaps.refuseTaps(true);
    h.host.start();
    ASSERT_FALSE(h.stores.keyTap.installed());

    // The Permissions pane polls while the user grants access in System Settings.
    h.stores.permissions.startPolling();
    h.stores.accessibility.setTrusted(c.accessibility);
    h.stores.privacy.setAccess(c.inputMonitoring);
    h.stores.eventTaps.refuseTaps(false);
    h.stores.timers.advance(core::PermissionsModel::kPollInterval);
    EXPECT_EQ(h.stores.permissions.accessibility(), c.accessibility);
    EXPECT_EQ(h.stores.keyTap.installed(), c.installed);
    EXPECT_EQ(h.stores.keyTap.trusted(), c.installed);
    EXPECT_EQ(h.stores.eventTaps.tapCount(), c.installed ? 1 : 0);

    // Withdrawn and granted again: the tap in place stays the only one.
    h.stores.accessibility.setTrusted(false);
    h.stores.timers.advance(core::PermissionsModel::kPollInterval);
    h.stores.accessibility.setTrusted(c.accessibility);
    h.stores.timers.advance(core::PermissionsModel::kPollInterval);
    EXPECT_EQ(h.stores.eventTaps.tapCount(), c.installed ? 1 : 0);
  }
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
