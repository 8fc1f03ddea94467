#include "core/session/game_supervisor.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QSignalSpy>
#include <algorithm>
#include <filesystem>
#include <sstream>

#include "core/session/engine_record.hpp"
#include "core/settings/server_url.hpp"
#include "engine_fixture.hpp"
#include "process_watch.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
using core::GameSupervisor;
using core::SessionState;
using Layout = EngineFixture::Layout;

// The messages lastError shows, word for word as the user reads them.
constexpr const char* kRestoreFirst =
    "Restore the previous session's desktop before starting another game.";
constexpr const char* kInputSocketNotReady = "Input socket not ready yet — try again in a moment.";
constexpr const char* kNoCheckout = "Could not locate the tilestack repo (pnpm-workspace.yaml).";
constexpr const char* kFeedbackFailed = "Could not prepare session feedback. Try again.";
constexpr const char* kDesktopNotPrepared =
    "Could not prepare the desktop. Reveal the stash to inspect any files still there.";
constexpr const char* kLaunchFailedPrefix = "Failed to launch: ";
constexpr const char* kUncleanEnd =
    "The session did not finish cleanly. Restore the desktop from the menu; check the game log "
    "if it persists.";
constexpr const char* kRestoreIncomplete =
    "Some desktop files could not be restored. Reveal the stash to inspect them.";
constexpr const char* kSessionFilesNeedAttention =
    "Session files need attention. Check the game log before starting another game.";

// Plays `game` and waits for the engine's end to be handled.
bool playToEnd(GameSupervisor& supervisor, const core::Game& game,
               const std::vector<std::string>& args = {}) {
  QSignalSpy ended(&supervisor, &GameSupervisor::sessionEnded);
  supervisor.play(game, args);
  if (supervisor.state() != SessionState::running) return false;
  return waitUntil([&] { return ended.count() == 1; });
}

TEST(GameSupervisorPackaged, RunsTheBundledEngineWithTheSessionEnvironment) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "notes.txt", "mine");
  writeFile(fixture.desktop() / ".hidden", "stays");
  writeFile(fixture.resources() / ".game-server-token", "  server-secret\n");
  writeFile(fixture.paths().gameLog(), "an earlier session's output\n");
  ASSERT_TRUE(fixture.preferences.setValue("soundsEnabled", false).ok());
  ASSERT_TRUE(fixture.preferences.setValue("serverURL", " ws://localhost:9000/x ").ok());
  auto environment = fixture.environment({{"FAKE_ENGINE_PHASES", "loading ready child-complete"}});
  environment.insert("PATH", "/opt/tools");
  auto supervisor = fixture.makeSupervisor(environment, [] { return std::string("tok"); });
  QSignalSpy capture(supervisor.get(), &GameSupervisor::keyCaptureChanged);
  QSignalSpy games(supervisor.get(), &GameSupervisor::currentGameChanged);

  const core::Game game = fixture.game();
  ASSERT_TRUE(playToEnd(*supervisor, game, {"join", "it's ABCD"}));

  EXPECT_EQ(fixture.engineArguments(),
            (std::vector<std::string>{(fixture.resources() / "games/snake").string(), "join",
                                      "it's ABCD"}));
  EXPECT_EQ(fixture.engineWorkingDirectory(), fs::canonical(fixture.resources()));
  const auto env = fixture.engineEnvironment();
  EXPECT_EQ(env.at("DESKPLAY_PORT"), std::to_string(fixture.inputSocket.port()));
  EXPECT_EQ(env.at("DESKPLAY_SUPERVISED"), "1");
  EXPECT_EQ(env.at("FRONDEL_SESSION_STATUS_SURFACE"), "native");
  EXPECT_EQ(fs::path(env.at("FRONDEL_SESSION_STATUS_PATH")).filename(), "status.json");
  EXPECT_EQ(fs::path(env.at("FRONDEL_SESSION_STATUS_PATH")).parent_path().filename().string(),
            "deskplay-session-" + env.at("FRONDEL_SESSION_ID"));
  EXPECT_EQ(env.at("DESKPLAY_MUTED"), "1");
  EXPECT_EQ(env.at("GAME_SERVER_URL"), "ws://localhost:9000/x");
  EXPECT_EQ(env.at("DESKPLAY_SESSION_TOKEN"), "tok");
  EXPECT_EQ(env.at("DESKPLAY_DATA_DIR"), (fixture.home() / "Documents/Deskplay").string());
  EXPECT_EQ(env.at("GAME_SERVER_TOKEN"), "server-secret");
  EXPECT_EQ(env.at("PATH"), "/opt/tools:/usr/bin:/bin:/usr/sbin:/sbin");
  EXPECT_EQ(env.at("FRONDEL_GLYPHON_PATH"), (fixture.resources() / "frondel-bin/Glyphon").string());
  EXPECT_EQ(env.at("FRONDEL_KEYHARK_PATH"), (fixture.resources() / "frondel-bin/Keyhark").string());
  EXPECT_EQ(env.at("FRONDEL_SONETTE_PATH"), (fixture.resources() / "frondel-bin/Sonette").string());
  EXPECT_EQ(env.at("FRONDEL_BURROWD_PATH"), (fixture.resources() / "frondel-bin/Burrowd").string());

  // The engine found the Desktop emptied of visible entries; now everything is back.
  EXPECT_EQ(fixture.engineDesktopListing(), ".hidden\n");
  EXPECT_EQ(readFile(fixture.desktop() / "notes.txt"), "mine");
  EXPECT_FALSE(fs::exists(fixture.stash()));

  const std::string log = readFile(fixture.paths().gameLog());
  EXPECT_NE(log.find("engine output line"), std::string::npos);
  EXPECT_NE(log.find("engine error line"), std::string::npos);
  EXPECT_EQ(log.find("earlier session"), std::string::npos);

  EXPECT_EQ(supervisor->lastError(), std::nullopt);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_EQ(supervisor->currentGame(), std::nullopt);
  EXPECT_TRUE(fixture.sessionDirectories().empty());
  ASSERT_EQ(capture.count(), 2);
  EXPECT_TRUE(capture.at(0).at(0).toBool());
  EXPECT_FALSE(capture.at(1).at(0).toBool());
  EXPECT_EQ(games.count(), 2);
}

TEST(GameSupervisorPackaged, OptionalVariablesStayAbsentWhenNotDue) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.resources() / ".game-server-token", " \n\t\n");
  auto environment = fixture.environment();
  environment.remove("PATH");
  environment.insert("DESKPLAY_MUTED", "inherited");
  auto supervisor = fixture.makeSupervisor(environment, [] { return std::nullopt; });

  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  const auto env = fixture.engineEnvironment();
  // Inherited variables pass through; the supervisor adds none of its optional ones.
  EXPECT_EQ(env.at("DESKPLAY_MUTED"), "inherited");
  EXPECT_FALSE(env.contains("DESKPLAY_SESSION_TOKEN"));
  EXPECT_FALSE(env.contains("GAME_SERVER_TOKEN"));
  EXPECT_EQ(env.at("GAME_SERVER_URL"), core::kDefaultServerUrl);
  EXPECT_EQ(env.at("PATH"), "/usr/bin:/bin:/usr/sbin:/sbin");
}

TEST(GameSupervisorDevelopment, RunsNodeInTheCheckoutThroughTheLoginShell) {
  EngineFixture fixture(Layout::development);
  fs::create_directories(*fixture.checkout() / "apps/deskplay");
  writeFile(*fixture.checkout() / "apps/deskplay/.game-server-token", "dev-token\n");
  auto supervisor = fixture.makeSupervisor(fixture.environment());

  const std::vector<std::string> args{"join", "it's", "two\nlines", "$HOME `x` \\"};
  ASSERT_TRUE(playToEnd(*supervisor, fixture.game(), args));

  std::vector<std::string> expected{"--import", "tsx",
                                    fixture.checkout()->string() + "/games/snake/main.ts"};
  expected.insert(expected.end(), args.begin(), args.end());
  EXPECT_EQ(fixture.engineArguments(), expected);
  EXPECT_EQ(fixture.engineWorkingDirectory(), fs::canonical(*fixture.checkout()));
  const auto env = fixture.engineEnvironment();
  EXPECT_EQ(env.at("GAME_SERVER_TOKEN"), "dev-token");
  EXPECT_EQ(env.at("DESKPLAY_PORT"), std::to_string(fixture.inputSocket.port()));
  EXPECT_FALSE(env.contains("FRONDEL_GLYPHON_PATH"));
  EXPECT_FALSE(env.contains("DESKPLAY_MUTED"));
  EXPECT_EQ(env.at("PATH").find(":/usr/bin:/bin:/usr/sbin:/sbin"), std::string::npos);
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
}

TEST(GameSupervisorDevelopment, NoCheckoutAboveTheBundle) {
  EngineFixture fixture(Layout::development);
  fs::remove(*fixture.checkout() / "pnpm-workspace.yaml");
  auto supervisor = fixture.makeSupervisor(fixture.environment());
  writeFile(fixture.desktop() / "a.txt", "a");

  supervisor->play(fixture.game(), {});
  EXPECT_EQ(supervisor->lastError(), kNoCheckout);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_TRUE(fs::exists(fixture.desktop() / "a.txt"));
  EXPECT_TRUE(fixture.sessionDirectories().empty());
}

// The termination handler's verdict for the ways an engine can end.
TEST(GameSupervisorEnd, CleanOnlyWhenEverythingHeld) {
  const struct {
    const char* phases;
    const char* end;
    bool clean;
  } cases[] = {
      {"", "exit:0", true},
      {"loading ready child-complete", "exit:0", true},
      {"loading ready", "exit:0", false},
      {"child-complete", "exit:3", false},
      {"child-complete", "signal:KILL", false},
      {"child-complete", "signal:TERM", false},
      {"garbage", "exit:0", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::string(c.phases) + " / " + c.end);
    EngineFixture fixture(Layout::packaged);
    writeFile(fixture.desktop() / "keep.txt", "k");
    auto supervisor = fixture.makeSupervisor(
        fixture.environment({{"FAKE_ENGINE_PHASES", c.phases}, {"FAKE_ENGINE_END", c.end}}));
    QSignalSpy ended(supervisor.get(), &GameSupervisor::sessionEnded);

    ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
    EXPECT_EQ(ended.at(0).at(0).toBool(), c.clean);
    // The desktop is back whichever way it ended.
    EXPECT_TRUE(fs::exists(fixture.desktop() / "keep.txt"));
    EXPECT_FALSE(fs::exists(fixture.stash()));
    EXPECT_EQ(supervisor->currentGame(), std::nullopt);
    EXPECT_EQ(supervisor->process(), nullptr);
    EXPECT_FALSE(fs::exists(core::engineRecordFile(fixture.paths())));
    if (c.clean) {
      EXPECT_EQ(supervisor->state(), SessionState::idle);
      EXPECT_EQ(supervisor->lastError(), std::nullopt);
      EXPECT_TRUE(fixture.sessionDirectories().empty());
    } else {
      EXPECT_EQ(supervisor->state(), SessionState::needsAttention);
      EXPECT_EQ(supervisor->lastError(), kUncleanEnd);
      // The record stays for inspection.
      EXPECT_EQ(fixture.sessionDirectories().size(), 1u);
      ASSERT_NE(supervisor->feedback(), nullptr);
      ASSERT_NE(supervisor->feedback()->statusWindow(), nullptr);
      EXPECT_EQ(supervisor->feedback()->statusWindow()->phase(), "failed");
    }
  }
}

TEST(GameSupervisorEnd, UncleanSessionBlocksPlayUntilRestored) {
  EngineFixture fixture(Layout::packaged);
  auto supervisor = fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_PHASES", "ready"}}));
  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  ASSERT_EQ(supervisor->state(), SessionState::needsAttention);
  fs::remove_all(fixture.recordDir());

  supervisor->play(fixture.game(), {});
  EXPECT_EQ(supervisor->lastError(), kRestoreFirst);
  EXPECT_FALSE(fixture.engineStarted());

  QSignalSpy errors(supervisor.get(), &GameSupervisor::lastErrorChanged);
  supervisor->restoreDesktopNow();
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
  EXPECT_EQ(errors.count(), 1);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_TRUE(fixture.sessionDirectories().empty());

  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  EXPECT_TRUE(fixture.engineStarted());
}

TEST(GameSupervisorEnd, SessionFilesThatCannotBeClearedKeepTheNextGameWaiting) {
  EngineFixture fixture(Layout::packaged);
  auto supervisor = fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_PHASES", "ready"}}));
  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  ASSERT_EQ(supervisor->state(), SessionState::needsAttention);
  const auto sessions = fixture.sessionDirectories();
  ASSERT_EQ(sessions.size(), 1u);
  writeFile(sessions[0] / "left-by-the-engine.txt", "?");

  supervisor->restoreDesktopNow();
  EXPECT_EQ(supervisor->lastError(), kSessionFilesNeedAttention);
  EXPECT_EQ(supervisor->state(), SessionState::needsAttention);
  supervisor->play(fixture.game(), {});
  EXPECT_EQ(supervisor->lastError(), kRestoreFirst);

  fs::remove(sessions[0] / "left-by-the-engine.txt");
  supervisor->restoreDesktopNow();
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_TRUE(fixture.sessionDirectories().empty());
}

// Field 22 of the process's stat line: when it started, in clock ticks since boot.
std::string startTicks(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 2));
  std::string field;
  for (int number = 3; number <= 22; ++number) fields >> field;
  return field;
}

TEST(GameSupervisorEngineRecord, NamesTheRunningEngineUntilItsEndIsHandled) {
  EngineFixture fixture(Layout::packaged);
  auto supervisor = fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_END", "wait"}}));
  const fs::path recordFile = core::engineRecordFile(fixture.paths());
  supervisor->play(fixture.game(), {});
  ASSERT_EQ(supervisor->state(), SessionState::running);
  ASSERT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));
  const auto engine = static_cast<pid_t>(supervisor->process()->processId());

  // The engine leads a process group of its own, which the application is not part of.
  EXPECT_EQ(::getpgid(engine), engine);
  EXPECT_NE(::getpgrp(), engine);
  const auto read = core::readEngineRecord(recordFile);
  ASSERT_TRUE(read.ok()) << read.message();
  ASSERT_TRUE(read.value());
  EXPECT_EQ(read.value()->processGroup, engine);
  EXPECT_EQ(read.value()->startTime, startTicks(engine));
  std::string boot = readFile("/proc/sys/kernel/random/boot_id");
  while (!boot.empty() && boot.back() == '\n') boot.pop_back();
  EXPECT_EQ(read.value()->bootId, boot);
  EXPECT_EQ(fs::status(recordFile).permissions() & (fs::perms::group_all | fs::perms::others_all),
            fs::perms::none);

  QSignalSpy ended(supervisor.get(), &GameSupervisor::sessionEnded);
  supervisor->process()->terminate();
  ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
  EXPECT_FALSE(fs::exists(recordFile));
}

TEST(GameSupervisorRunning, SecondPlayChangesNothing) {
  EngineFixture fixture(Layout::packaged);
  auto supervisor = fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_END", "wait"}}));
  supervisor->play(fixture.game("snake"), {});
  ASSERT_EQ(supervisor->state(), SessionState::running);
  ASSERT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));
  QSignalSpy errors(supervisor.get(), &GameSupervisor::lastErrorChanged);
  QSignalSpy games(supervisor.get(), &GameSupervisor::currentGameChanged);
  QProcess* engine = supervisor->process();

  supervisor->play(fixture.game("other"), {"solo"});
  EXPECT_EQ(supervisor->process(), engine);
  EXPECT_EQ(supervisor->currentGame()->id, "snake");
  EXPECT_EQ(errors.count(), 0);
  EXPECT_EQ(games.count(), 0);

  QSignalSpy ended(supervisor.get(), &GameSupervisor::sessionEnded);
  engine->terminate();
  ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
}

TEST(GameSupervisorRefusal, StartsThatCannotProceedLeaveTheDesktopAlone) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "a.txt", "a");
  core::InputSocket closedSocket;
  core::GameSupervisor::Services services{
      fixture.preferences, fixture.workspace,
      fixture.clock,       {fixture.windows, fixture.scripts, fixture.clock, fixture.timers},
      closedSocket,        fixture.accessibility};
  core::GameSupervisor supervisor(fixture.paths(), services,
                                  platform::simulatedToolPaths("/nowhere"), fixture.environment());
  supervisor.play(fixture.game(), {});
  EXPECT_EQ(supervisor.lastError(), kInputSocketNotReady);
  EXPECT_EQ(supervisor.state(), SessionState::idle);
  EXPECT_TRUE(fs::exists(fixture.desktop() / "a.txt"));
  EXPECT_TRUE(fixture.sessionDirectories().empty());
}

TEST(GameSupervisorRefusal, NoRoomForTheSessionFiles) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "a.txt", "a");
  fs::remove_all(fixture.paths().temporaryDirectory);
  writeFile(fixture.paths().temporaryDirectory, "a file where the temporary folder should be");
  auto supervisor = fixture.makeSupervisor(fixture.environment());

  supervisor->play(fixture.game(), {});
  EXPECT_EQ(supervisor->lastError(), kFeedbackFailed);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_FALSE(fixture.engineStarted());
  EXPECT_TRUE(fs::exists(fixture.desktop() / "a.txt"));
  EXPECT_FALSE(fs::exists(fixture.stash()));
}

TEST(GameSupervisorRefusal, FailedLaunchPutsTheDesktopBack) {
  const struct {
    const char* name;
    std::function<void(EngineFixture&)> breakIt;
    std::string messageStart;
  } cases[] = {
      {"no node in the bundle", [](EngineFixture& f) { fs::remove(f.resources() / "node"); },
       kLaunchFailedPrefix},
      {"no resources at all", [](EngineFixture& f) { fs::remove_all(f.resources()); },
       std::string(kLaunchFailedPrefix) + "The application bundle has no resource directory."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EngineFixture fixture(Layout::packaged);
    writeFile(fixture.desktop() / "a.txt", "a");
    c.breakIt(fixture);
    auto supervisor = fixture.makeSupervisor(fixture.environment());
    supervisor->play(fixture.game(), {});
    ASSERT_TRUE(supervisor->lastError());
    EXPECT_TRUE(supervisor->lastError()->starts_with(c.messageStart)) << *supervisor->lastError();
    EXPECT_GT(supervisor->lastError()->size(), std::string(kLaunchFailedPrefix).size());
    EXPECT_EQ(supervisor->state(), SessionState::idle);
    EXPECT_EQ(supervisor->currentGame(), std::nullopt);
    EXPECT_TRUE(fs::exists(fixture.desktop() / "a.txt"));
    EXPECT_FALSE(fs::exists(fixture.stash()));
    EXPECT_TRUE(fixture.sessionDirectories().empty());
  }
}

TEST(GameSupervisorRefusal, DesktopThatCannotBeStashed) {
  EngineFixture fixture(Layout::packaged);
  fs::remove_all(fixture.desktop());
  writeFile(fixture.desktop(), "a file where the Desktop should be");
  auto supervisor = fixture.makeSupervisor(fixture.environment());
  supervisor->play(fixture.game(), {});
  EXPECT_EQ(supervisor->lastError(), kDesktopNotPrepared);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_FALSE(fixture.engineStarted());
  EXPECT_TRUE(fixture.sessionDirectories().empty());
}

TEST(GameSupervisorGameLog, ASymlinkInItsPlaceIsNotFollowed) {
  EngineFixture fixture(Layout::packaged);
  const fs::path victim = fixture.home() / "victim.txt";
  writeFile(victim, "precious");
  fs::create_symlink(victim, fixture.paths().gameLog());
  auto supervisor = fixture.makeSupervisor(fixture.environment());
  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  EXPECT_EQ(readFile(victim), "precious");
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
}

// Opening a FIFO for writing would wait for a reader, on the main thread.
TEST(GameSupervisorGameLog, AFifoInItsPlaceNeitherStallsTheStartNorGetsTheOutput) {
  EngineFixture fixture(Layout::packaged);
  ASSERT_EQ(::mkfifo(fixture.paths().gameLog().c_str(), 0600), 0);
  auto supervisor = fixture.makeSupervisor(fixture.environment());
  ASSERT_TRUE(playToEnd(*supervisor, fixture.game()));
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
  EXPECT_TRUE(fs::is_fifo(fixture.paths().gameLog()));
}

TEST(GameSupervisorRestore, ClashKeepsTheStashAndSaysSo) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "a.txt", "original");
  auto supervisor = fixture.makeSupervisor(fixture.environment(
      {{"FAKE_ENGINE_END", "wait"}, {"FAKE_ENGINE_TERM_PHASE", "child-complete"}}));
  QSignalSpy ended(supervisor.get(), &GameSupervisor::sessionEnded);
  supervisor->play(fixture.game(), {});
  ASSERT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));
  // Something made a file of the same name on the Desktop during the game.
  writeFile(fixture.desktop() / "a.txt", "made during the game");
  supervisor->process()->terminate();
  ASSERT_TRUE(waitUntil([&] { return ended.count() == 1; }));
  EXPECT_FALSE(ended.at(0).at(0).toBool());
  EXPECT_EQ(readFile(fixture.stash() / "a.txt"), "original");
  EXPECT_EQ(supervisor->lastError(), kUncleanEnd);

  supervisor->restoreDesktopNow();
  EXPECT_EQ(supervisor->lastError(), kRestoreIncomplete);
  EXPECT_EQ(supervisor->state(), SessionState::needsAttention);

  supervisor->revealStash();
  ASSERT_EQ(fixture.workspace.reveals().size(), 1u);
  EXPECT_EQ(fixture.workspace.reveals().back(), std::vector<fs::path>{fixture.stash()});

  fs::remove(fixture.desktop() / "a.txt");
  supervisor->restoreDesktopNow();
  EXPECT_EQ(supervisor->lastError(), std::nullopt);
  EXPECT_EQ(supervisor->state(), SessionState::idle);
  EXPECT_EQ(readFile(fixture.desktop() / "a.txt"), "original");
  supervisor->revealStash();
  EXPECT_EQ(fixture.workspace.reveals().size(), 1u);
}

TEST(GameSupervisorTeardown, AnEngineStillRunningIsAskedToEndAndTheDesktopComesBack) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "a.txt", "a");
  auto supervisor = fixture.makeSupervisor(fixture.environment({{"FAKE_ENGINE_END", "wait"}}));
  supervisor->play(fixture.game(), {});
  ASSERT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));

  supervisor.reset();
  EXPECT_EQ(fixture.termsReceived(), 1);
  EXPECT_EQ(readFile(fixture.desktop() / "a.txt"), "a");
  EXPECT_FALSE(fs::exists(fixture.stash()));
}

TEST(GameSupervisorTeardown, AnEngineThatIgnoresTheRequestIsKilledWithItsGroup) {
  EngineFixture fixture(Layout::packaged);
  writeFile(fixture.desktop() / "a.txt", "a");
  auto supervisor = fixture.makeSupervisor(
      fixture.environment({{"FAKE_ENGINE_END", "ignore-term"}, {"FAKE_ENGINE_HELPERS", "1"}}));
  supervisor->play(fixture.game(), {});
  ASSERT_TRUE(waitUntil([&] { return fixture.engineStarted(); }));
  ProcessReaper reaper;
  const auto engine = static_cast<pid_t>(supervisor->process()->processId());
  const pid_t companion = std::stoi(readFile(fixture.recordDir() / "companion-pid"));
  const pid_t keeper = std::stoi(readFile(fixture.recordDir() / "keeper-pid"));
  reaper.group(engine);
  for (const pid_t pid : {engine, companion, keeper}) reaper.process(pid);

  supervisor.reset();
  EXPECT_EQ(fixture.termsReceived(), 1);
  EXPECT_FALSE(processRuns(engine));
  EXPECT_FALSE(processRuns(companion));
  EXPECT_TRUE(processRuns(keeper));
  EXPECT_EQ(readFile(fixture.desktop() / "a.txt"), "a");
  EXPECT_FALSE(fs::exists(core::engineRecordFile(fixture.paths())));
}

}  // namespace
}  // namespace deskplay::testing
