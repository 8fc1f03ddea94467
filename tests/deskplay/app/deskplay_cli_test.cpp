// The Deskplay executable driven as people and scripts drive it: a headless instance with a
// private home, and the command line talking to it.
#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

#include "process_watch.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"
#include "test_bundle.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;

// The texts the instance answers with.
constexpr const char* kUncleanEnd =
    "The session did not finish cleanly. Restore the desktop from the menu; check the game log "
    "if it persists.";
constexpr const char* kRestoreFirst =
    "Restore the previous session's desktop before starting another game.";

class DeskplayCli : public ::testing::Test {
 protected:
  // One bundle for the suite: a copy of the application (it finds its resources beside its
  // own file), two games, and the fake engine as its Node.js.
  static void SetUpTestSuite() {
    suiteDir_ = new TempDir();
    const fs::path executable =
        makeTestBundle(suiteDir_->path(), DESKPLAY_EXECUTABLE,
                       fs::path(DESKPLAY_APP_TEST_FIXTURES) / "fake_engine.sh");
    const fs::path games = suiteDir_->path() / "Deskplay.app/Contents/Resources/games";
    addTestGame(games, "snake", 2);
    addTestGame(games, "alpha", 1);
    executable_ = new std::string(executable.string());
  }
  static void TearDownTestSuite() {
    delete executable_;
    delete suiteDir_;
  }

  void SetUp() override {
    for (const char* folder : {"home/Desktop", "tmp", "runtime", "record"}) {
      fs::create_directories(dir_ / folder);
    }
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
  }

  void TearDown() override {
    if (instance_) {
      instance_->kill(SIGTERM);
      instance_->wait();
    }
  }

  std::vector<std::string> environment(const std::vector<std::string>& more = {}) const {
    std::vector<std::string> entries{
        "HOME=" + (dir_ / "home").string(), "TMPDIR=" + (dir_ / "tmp").string(),
        "XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(),
        "XDG_CONFIG_HOME=" + (dir_ / "home/.config").string(),
        "SIMDESK_SOCKET=" + (dir_ / "runtime/no-simdesk").string(),
        // No keyring of the user's: no session token at all.
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir_ / "runtime/no-bus").string(),
        "QT_QPA_PLATFORM=offscreen",
        "DISPLAY=", "WAYLAND_DISPLAY=", "FAKE_ENGINE_RECORD=" + (dir_ / "record").string()};
    entries.insert(entries.end(), more.begin(), more.end());
    return entries;
  }

  // Starts the instance (headless unless told otherwise) and waits for its ready line.
  void startInstance(const std::vector<std::string>& engine = {},
                     const std::vector<std::string>& mode = {"--headless"}) {
    std::vector<std::string> argv{*executable_};
    argv.insert(argv.end(), mode.begin(), mode.end());
    instance_ = std::make_unique<ChildProcess>(argv, environment(engine));
    const auto ready = instance_->readLine();
    ASSERT_TRUE(ready) << instance_->readStderr();
    EXPECT_EQ(*ready, "DESKPLAY_READY " + (dir_ / "runtime/deskplay-control").string());
  }

  Completed run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{*executable_};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, {}, environment());
  }

  QJsonObject status() const {
    const Completed result = run({"status"});
    EXPECT_EQ(result.status, 0) << result.errors;
    EXPECT_EQ(result.output.back(), '\n');
    EXPECT_EQ(std::count(result.output.begin(), result.output.end(), '\n'), 1);
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.output)).object();
  }

  bool waitForSession(const QString& session) const {
    return eventually([&] { return status().value("session").toString() == session; });
  }

  // The engine has set itself up (and so answers the terminate request as it should).
  bool waitForEngineStarted() const {
    return eventually([&] { return fs::exists(dir_ / "record/started"); });
  }

  fs::path desktop() const { return dir_ / "home/Desktop"; }
  fs::path record(const std::string& name) const { return dir_ / "record" / name; }
  pid_t recordedPid(const std::string& name) const { return std::stoi(readFile(record(name))); }

  static TempDir* suiteDir_;
  static std::string* executable_;
  TempDir dir_;
  std::unique_ptr<ChildProcess> instance_;
};

TempDir* DeskplayCli::suiteDir_ = nullptr;
std::string* DeskplayCli::executable_ = nullptr;

TEST_F(DeskplayCli, StatusIsOneJsonObject) {
  startInstance();
  const QJsonObject state = status();
  EXPECT_TRUE(state.value("currentGame").isNull());
  EXPECT_TRUE(state.value("lastError").isNull());
  EXPECT_TRUE(state.value("refreshError").isNull());
  EXPECT_EQ(state.value("games").toArray(), (QJsonArray{"alpha", "snake"}));
  EXPECT_EQ(state.value("session").toString(), "idle");
}

TEST_F(DeskplayCli, PopoverModeTakesCommandsToo) {
  startInstance({}, {});
  EXPECT_EQ(status().value("session").toString(), "idle");
  instance_->kill(SIGTERM);
  EXPECT_EQ(instance_->wait(), 0);
  instance_.reset();
}

TEST_F(DeskplayCli, PlayStopAndTheirRefusals) {
  writeFile(desktop() / "mine.txt", "mine");
  startInstance({"FAKE_ENGINE_END=wait", "FAKE_ENGINE_TERM_PHASE=child-complete"});

  const Completed unknown = run({"play", "nope"});
  EXPECT_EQ(unknown.status, 1);
  EXPECT_EQ(unknown.errors, "No game \"nope\" in the catalog.\n");

  const Completed idleStop = run({"stop"});
  EXPECT_EQ(idleStop.status, 1);
  EXPECT_EQ(idleStop.errors, "No game is running.\n");

  const Completed play = run({"play", "snake", "solo"});
  ASSERT_EQ(play.status, 0) << play.errors;
  QJsonObject state = status();
  EXPECT_EQ(state.value("session").toString(), "running");
  EXPECT_EQ(state.value("currentGame").toString(), "snake");
  EXPECT_FALSE(fs::exists(desktop() / "mine.txt"));

  const Completed again = run({"play", "alpha"});
  EXPECT_EQ(again.status, 1);
  EXPECT_EQ(again.errors, "A game is already running.\n");
  const Completed restoreWhileRunning = run({"restore"});
  EXPECT_EQ(restoreWhileRunning.status, 1);

  ASSERT_TRUE(waitForEngineStarted());
  const Completed stop = run({"stop"});
  EXPECT_EQ(stop.status, 0) << stop.errors;
  ASSERT_TRUE(waitForSession("idle"));
  state = status();
  EXPECT_TRUE(state.value("currentGame").isNull());
  EXPECT_TRUE(state.value("lastError").isNull());
  EXPECT_EQ(readFile(desktop() / "mine.txt"), "mine");
  EXPECT_EQ(readFile(dir_ / "record/terms"), "term\n");
}

TEST_F(DeskplayCli, AGameFolderAddedAfterStartCanBePlayed) {
  startInstance({"FAKE_ENGINE_END=wait", "FAKE_ENGINE_TERM_PHASE=child-complete"});
  addTestGame(dir_ / "home/Library/Application Support/Deskplay/games", "late", 0);

  const Completed play = run({"play", "late"});
  ASSERT_EQ(play.status, 0) << play.errors;
  EXPECT_EQ(status().value("currentGame").toString(), "late");

  ASSERT_TRUE(waitForEngineStarted());
  EXPECT_EQ(run({"stop"}).status, 0);
  ASSERT_TRUE(waitForSession("idle"));
}

TEST_F(DeskplayCli, UncleanEndBlocksUntilRestore) {
  startInstance({"FAKE_ENGINE_PHASES=ready"});
  ASSERT_EQ(run({"play", "alpha"}).status, 0);
  ASSERT_TRUE(waitForSession("needsAttention"));
  EXPECT_EQ(status().value("lastError").toString(), kUncleanEnd);

  const Completed refused = run({"play", "alpha"});
  EXPECT_EQ(refused.status, 1);
  EXPECT_EQ(refused.errors, std::string(kRestoreFirst) + "\n");

  const Completed restore = run({"restore"});
  EXPECT_EQ(restore.status, 0) << restore.errors;
  const QJsonObject state = status();
  EXPECT_EQ(state.value("session").toString(), "idle");
  EXPECT_TRUE(state.value("lastError").isNull());
}

TEST_F(DeskplayCli, TerminatingTheInstanceStopsTheGameAndRestoresTheDesktop) {
  writeFile(desktop() / "mine.txt", "mine");
  startInstance({"FAKE_ENGINE_END=wait", "FAKE_ENGINE_TERM_PHASE=child-complete"});
  ASSERT_EQ(run({"play", "snake"}).status, 0);
  EXPECT_FALSE(fs::exists(desktop() / "mine.txt"));
  ASSERT_TRUE(waitForEngineStarted());

  instance_->kill(SIGTERM);
  EXPECT_EQ(instance_->wait(), 0);
  instance_.reset();
  EXPECT_EQ(readFile(desktop() / "mine.txt"), "mine");
  EXPECT_EQ(readFile(dir_ / "record/terms"), "term\n");
}

TEST_F(DeskplayCli, AnEngineLeftRunningByAKilledInstanceEndsBeforeTheDesktopComesBack) {
  writeFile(desktop() / "mine.txt", "mine");
  startInstance({"FAKE_ENGINE_END=wait", "FAKE_ENGINE_HELPERS=1"});
  ASSERT_EQ(run({"play", "snake"}).status, 0);
  ASSERT_TRUE(waitForEngineStarted());
  ProcessReaper reaper;
  const pid_t engine = recordedPid("pid");
  const pid_t companion = recordedPid("companion-pid");
  const pid_t keeper = recordedPid("keeper-pid");
  reaper.group(engine);
  for (const pid_t pid : {engine, companion, keeper}) reaper.process(pid);

  instance_->kill(SIGKILL);
  EXPECT_EQ(instance_->wait(), 128 + SIGKILL);
  instance_.reset();
  // Nothing ended the engine: it runs on, drawing on a Desktop whose files are stashed.
  ASSERT_TRUE(processRuns(engine));
  ASSERT_FALSE(fs::exists(desktop() / "mine.txt"));

  // The instance is ready once start-up is done: the engine had the terminate request while
  // the files were still stashed, it ended with its companion, and only then were the files
  // put back.
  startInstance();
  ASSERT_TRUE(fs::exists(record("terms")));
  EXPECT_EQ(readFile(record("terms")), "term\n");
  EXPECT_EQ(readFile(record("desktop-at-term")), "");
  EXPECT_FALSE(processRuns(engine));
  EXPECT_FALSE(processRuns(companion));
  // The engine's tile keeper lives in a session of its own, and must outlive it.
  EXPECT_TRUE(processRuns(keeper));
  EXPECT_EQ(readFile(desktop() / "mine.txt"), "mine");
  EXPECT_FALSE(fs::exists(dir_ / "home/.deskplay-stash"));
  EXPECT_FALSE(fs::exists(dir_ / "tmp/deskplay-engine.json"));
  EXPECT_EQ(status().value("session").toString(), "idle");
}

TEST_F(DeskplayCli, ADesktopLeftStashedIsRestoredAtStart) {
  fs::create_directories(dir_ / "home/.deskplay-stash");
  writeFile(dir_ / "home/.deskplay-stash/left.txt", "left");
  startInstance();
  EXPECT_EQ(readFile(desktop() / "left.txt"), "left");
  EXPECT_FALSE(fs::exists(dir_ / "home/.deskplay-stash"));
}

TEST_F(DeskplayCli, OneInstanceOnly) {
  startInstance();
  const Completed second = run({"--headless"});
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.errors, "Deskplay is already running (" +
                               (dir_ / "runtime/deskplay-control").string() + ").\n");
}

TEST_F(DeskplayCli, WithoutAnInstanceOrWithBadUsage) {
  const Completed none = run({"status"});
  EXPECT_EQ(none.status, 1);
  EXPECT_EQ(std::count(none.errors.begin(), none.errors.end(), '\n'), 1);
  EXPECT_NE(none.errors.find("not running"), std::string::npos);
  EXPECT_TRUE(none.output.empty());

  const Completed help = run({"--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_NE(help.output.find("Deskplay play GAME_ID"), std::string::npos);

  for (const auto& args :
       std::vector<std::vector<std::string>>{{"play"}, {"frobnicate"}, {"status", "now"}}) {
    const Completed bad = run(args);
    EXPECT_EQ(bad.status, 2) << args[0];
    EXPECT_EQ(std::count(bad.errors.begin(), bad.errors.end(), '\n'), 1) << bad.errors;
  }
}

}  // namespace
}  // namespace deskplay::testing
