// A headless Deskplay in a simdesk session of its own, running the fake engine, with the keys
// injected as the person's: what the game's input socket clients read, what Finder receives,
// the stop hotkey, and the recording of a new one through the command line.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "engine_client.hpp"
#include "platform/event_taps.hpp"
#include "simdesk_input.hpp"
#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"
#include "test_bundle.hpp"

namespace deskplay::testing {
namespace {

namespace fs = std::filesystem;
namespace flags = platform::event_flags;
using Json = nlohmann::json;
using namespace std::chrono_literals;

constexpr std::int64_t kA = 0;
constexpr std::int64_t kB = 11;
constexpr std::int64_t kK = 40;
constexpr std::int64_t kQ = 12;
constexpr std::int64_t kEscape = 53;
// Keys the tests send to line the clients up; no test sends them otherwise.
constexpr std::int64_t kPrimeKey = 50;  // `
constexpr std::int64_t kSyncKey = 42;   // backslash

class KeyCapture : public ::testing::Test {
 protected:
  // One bundle for the suite: a copy of the application (it finds its resources beside its
  // own file), one game, and the fake engine as its Node.js.
  static void SetUpTestSuite() {
    suiteDir_ = new TempDir();
    const fs::path executable =
        makeTestBundle(suiteDir_->path(), DESKPLAY_EXECUTABLE, DESKPLAY_FAKE_ENGINE);
    addTestGame(suiteDir_->path() / "Deskplay.app/Contents/Resources/games", "snake");
    executable_ = new std::string(executable.string());
  }
  static void TearDownTestSuite() {
    delete executable_;
    delete suiteDir_;
  }

  void SetUp() override {
    ASSERT_TRUE(session_.start()) << session_.readyLine();
    for (const char* folder : {"tmp", "record"}) fs::create_directories(dir_ / folder);
    input_ = std::make_unique<SimdeskInput>(session_);
  }

  void TearDown() override { stopInstance(); }

  std::vector<std::string> environment(const std::string& simdeskSocket) const {
    std::vector<std::string> entries = session_.environment();
    entries.insert(entries.end(),
                   {"TMPDIR=" + (dir_ / "tmp").string(),
                    "XDG_CONFIG_HOME=" + (session_.home() / ".config").string(),
                    "SIMDESK_SOCKET=" + simdeskSocket, "DISPLAY=", "WAYLAND_DISPLAY=",
                    // No keyring of the user's: no session token at all.
                    "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (dir_ / "no-bus").string(),
                    "FAKE_ENGINE_RECORD=" + (dir_ / "record").string(), "FAKE_ENGINE_END=wait",
                    "FAKE_ENGINE_TERM_PHASE=child-complete"});
    return entries;
  }
  std::vector<std::string> environment() const { return environment(session_.socket().string()); }

  // Starts the headless instance and waits until its key tap is in place.
  void startInstance() {
    instance_ = std::make_unique<ChildProcess>(std::vector<std::string>{*executable_, "--headless"},
                                               environment());
    const auto ready = instance_->readLine();
    ASSERT_TRUE(ready) << instance_->readStderr();
    ASSERT_TRUE(ready->starts_with("DESKPLAY_READY "));
    ASSERT_TRUE(status()["keyTap"]["installed"].get<bool>()) << status().dump();
  }

  void stopInstance() {
    if (!instance_) return;
    instance_->kill(SIGTERM);
    instance_->wait();
    instance_.reset();
  }

  Completed run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{*executable_};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, {}, environment());
  }

  Json status() const {
    const Completed result = run({"status"});
    EXPECT_EQ(result.status, 0) << result.errors;
    return Json::parse(result.output, nullptr, false);
  }

  bool waitForSession(const std::string& session) const {
    return eventually([&] { return status()["session"] == session; });
  }

  // Starts the game and gives the input socket's port, once the engine runs.
  int startGame() {
    const Completed play = run({"play", "snake"});
    EXPECT_EQ(play.status, 0) << play.errors;
    EXPECT_TRUE(eventually([&] { return fs::exists(dir_ / "record/started"); }));
    EXPECT_TRUE(status()["keyTap"]["capturing"].get<bool>());
    std::ifstream environment(dir_ / "record/env");
    for (std::string line; std::getline(environment, line);) {
      if (line.starts_with("DESKPLAY_PORT=")) return std::stoi(line.substr(14));
    }
    ADD_FAILURE() << "the engine got no DESKPLAY_PORT";
    return 0;
  }

  void press(std::int64_t keyCode, const std::string& characters, std::uint64_t modifiers = 0) {
    ASSERT_TRUE(input_->key(keyCode, characters, modifiers));
    ASSERT_TRUE(input_->waitUntilDelivered());
  }

  // A new client that the input socket has accepted: it is sent keys until it reads one.
  std::unique_ptr<EngineClient> connectClient(int port) {
    auto client = std::make_unique<EngineClient>(port);
    EXPECT_TRUE(client->connected());
    EXPECT_TRUE(eventually([&] {
      press(kPrimeKey, "`");
      return client->readLine(100ms).has_value();
    }));
    return client;
  }

  // Every client reads up to the same point: a key sent now, skipping what came before it.
  void sync(const std::vector<EngineClient*>& clients) {
    press(kSyncKey, "\\");
    for (EngineClient* client : clients) {
      while (true) {
        const auto line = client->readLine();
        ASSERT_TRUE(line) << "a client missed the sync key";
        if (*line == keyLine(kSyncKey, "\\")) break;
        ASSERT_EQ((*line)["keyCode"], kPrimeKey) << line->dump();
      }
    }
  }

  // simdesk's delivery log.
  std::vector<Json> deliveries() const {
    const Completed events = session_.ctl({"events"});
    EXPECT_EQ(events.status, 0) << events.errors;
    std::vector<Json> records;
    std::istringstream lines(events.output);
    for (std::string line; std::getline(lines, line);) records.push_back(Json::parse(line));
    return records;
  }

  // The key events of `keyCode` that reached an application, and their receivers.
  std::vector<std::string> receiversOf(std::int64_t keyCode) const {
    std::vector<std::string> receivers;
    for (const Json& record : deliveries()) {
      if (record["stage"] == "application" && record["event"]["keyCode"] == keyCode &&
          (record["event"]["type"] == "keyDown" || record["event"]["type"] == "keyUp")) {
        receivers.push_back(record["app"].get<std::string>() + " " +
                            record["event"]["type"].get<std::string>());
      }
    }
    return receivers;
  }

  fs::path desktop() const { return session_.desktop(); }

  static TempDir* suiteDir_;
  static std::string* executable_;
  SimdeskSession session_;
  TempDir dir_;
  std::unique_ptr<SimdeskInput> input_;
  std::unique_ptr<ChildProcess> instance_;
};

TempDir* KeyCapture::suiteDir_ = nullptr;
std::string* KeyCapture::executable_ = nullptr;

TEST_F(KeyCapture, WithoutAGameKeysGoToFinder) {
  startInstance();
  press(kA, "a");
  EXPECT_EQ(receiversOf(kA), (std::vector<std::string>{"Finder keyDown", "Finder keyUp"}));
  const Json tap = status()["keyTap"];
  EXPECT_EQ(tap["count"], 1);
  EXPECT_EQ(tap["lastKeyCode"], kA);
  EXPECT_FALSE(tap["capturing"].get<bool>());
}

TEST_F(KeyCapture, AKeyReachesEveryClientOnceAndNeverFinder) {
  startInstance();
  const int port = startGame();
  auto first = connectClient(port);
  auto second = connectClient(port);
  sync({first.get(), second.get()});

  press(kA, "a");
  for (EngineClient* client : {first.get(), second.get()}) {
    const auto line = client->readLine();
    ASSERT_TRUE(line);
    EXPECT_EQ(*line, keyLine(kA, "a"));
  }
  sync({first.get(), second.get()});
  EXPECT_TRUE(receiversOf(kA).empty());
  bool swallowedByDeskplay = false;
  for (const Json& record : deliveries()) {
    if (record["stage"] == "tap" && record["event"]["keyCode"] == kA) {
      swallowedByDeskplay = record["app"] == "Deskplay" && record["action"] == "swallowed";
    }
  }
  EXPECT_TRUE(swallowedByDeskplay);
  EXPECT_EQ(status()["keyTap"]["lastKeyCode"], kSyncKey);
}

TEST_F(KeyCapture, ShiftedKeysGiveTheirPlainCharacters) {
  startInstance();
  auto client = connectClient(startGame());
  sync({client.get()});
  platform::Event shifted;
  shifted.type = platform::EventType::keyDown;
  shifted.keyCode = kB;
  shifted.flags = flags::shift;
  shifted.characters = "B";
  shifted.charactersIgnoringModifiers = "b";
  ASSERT_TRUE(input_->inject(shifted));
  ASSERT_TRUE(input_->waitUntilDelivered());
  EXPECT_EQ(client->readLine(), keyLine(kB, "b"));
}

TEST_F(KeyCapture, CommandQPassesUntouched) {
  startInstance();
  auto client = connectClient(startGame());
  sync({client.get()});
  press(kQ, "q", flags::command);
  // Nothing reached the game before the next key.
  press(kSyncKey, "\\");
  EXPECT_EQ(client->readLine(), keyLine(kSyncKey, "\\"));
  EXPECT_EQ(receiversOf(kQ), (std::vector<std::string>{"Finder keyDown", "Finder keyUp"}));
  EXPECT_EQ(status()["session"], "running");
}

TEST_F(KeyCapture, TheStopHotkeyWithAnExtraModifierGoesToTheGame) {
  startInstance();
  auto client = connectClient(startGame());
  sync({client.get()});
  press(kQ, "q", flags::control | flags::option | flags::shift);
  EXPECT_EQ(client->readLine(), keyLine(kQ, "q"));
  EXPECT_TRUE(receiversOf(kQ).empty());
  EXPECT_EQ(status()["session"], "running");
  EXPECT_FALSE(fs::exists(dir_ / "record/terms"));
}

TEST_F(KeyCapture, TheStopHotkeyEndsTheGameAndTheDesktopComesBack) {
  writeFile(desktop() / "mine.txt", "mine");
  startInstance();
  auto client = connectClient(startGame());
  EXPECT_FALSE(fs::exists(desktop() / "mine.txt"));
  sync({client.get()});

  press(kQ, "q", flags::control | flags::option);
  ASSERT_TRUE(waitForSession("idle"));
  EXPECT_EQ(readFile(desktop() / "mine.txt"), "mine");
  EXPECT_EQ(readFile(dir_ / "record/terms"), "term\n");
  EXPECT_TRUE(status()["lastError"].is_null());
  EXPECT_TRUE(receiversOf(kQ).empty());
  // The game never saw its stop key (its line would have come long before the session was
  // over), and keys are Finder's again.
  EXPECT_EQ(client->readLine(0ms), std::nullopt);
  EXPECT_FALSE(status()["keyTap"]["capturing"].get<bool>());
  press(kA, "a");
  EXPECT_EQ(receiversOf(kA), (std::vector<std::string>{"Finder keyDown", "Finder keyUp"}));
}

TEST_F(KeyCapture, ALaterClientGetsOnlyLaterLines) {
  startInstance();
  const int port = startGame();
  auto early = connectClient(port);
  sync({early.get()});
  press(kA, "a");
  EXPECT_EQ(early->readLine(), keyLine(kA, "a"));

  auto late = connectClient(port);
  sync({early.get(), late.get()});
  press(kB, "b");
  EXPECT_EQ(early->readLine(), keyLine(kB, "b"));
  EXPECT_EQ(late->readLine(), keyLine(kB, "b"));
}

// `Deskplay record-hotkey` running until the recording ends.
class Recording {
 public:
  Recording(const std::string& executable, const std::vector<std::string>& environment)
      : process_(std::vector<std::string>{executable, "record-hotkey"}, environment) {}

  ChildProcess& process() { return process_; }
  std::string result() {
    const auto line = process_.readLine();
    return line.value_or("(no line)");
  }

 private:
  ChildProcess process_;
};

TEST_F(KeyCapture, RecordingIgnoresPlainKeysAndEscapeCancels) {
  startInstance();
  Recording recording(*executable_, environment());
  ASSERT_TRUE(eventually([&] { return status()["keyTap"]["recording"].get<bool>(); }));

  press(kA, "a");
  EXPECT_TRUE(status()["keyTap"]["recording"].get<bool>());
  press(kEscape, "\x1b");
  EXPECT_EQ(recording.result(), "cancelled");
  EXPECT_EQ(recording.process().wait(), 0);

  const Json state = status();
  EXPECT_FALSE(state["keyTap"]["recording"].get<bool>());
  EXPECT_EQ(state["stopHotkey"], "\u2303\u2325Q");
  // Keys pressed for the recording are nobody else's. (Escape's release may come after the
  // recording ended, and then goes on like any release.)
  EXPECT_TRUE(receiversOf(kA).empty());
  for (const std::string& receiver : receiversOf(kEscape)) EXPECT_EQ(receiver, "Finder keyUp");
  EXPECT_EQ(state["keyTap"]["count"], 0);
}

TEST_F(KeyCapture, ARecordedHotkeyStopsTheNextGameAndOutlivesARestart) {
  startInstance();
  {
    Recording recording(*executable_, environment());
    ASSERT_TRUE(eventually([&] { return status()["keyTap"]["recording"].get<bool>(); }));
    press(kK, "k", flags::control | flags::shift);
    EXPECT_EQ(recording.result(), "\u2303\u21E7K");
    EXPECT_EQ(recording.process().wait(), 0);
  }
  stopInstance();
  startInstance();
  EXPECT_EQ(status()["stopHotkey"], "\u2303\u21E7K");

  auto client = connectClient(startGame());
  sync({client.get()});
  // The old hotkey is an ordinary key now.
  press(kQ, "q", flags::control | flags::option);
  EXPECT_EQ(client->readLine(), keyLine(kQ, "q"));
  press(kK, "k", flags::control | flags::shift);
  ASSERT_TRUE(waitForSession("idle"));
  EXPECT_EQ(readFile(dir_ / "record/terms"), "term\n");
}

TEST_F(KeyCapture, ARecordingWhoseClientLeavesIsCancelled) {
  startInstance();
  {
    Recording recording(*executable_, environment());
    ASSERT_TRUE(eventually([&] { return status()["keyTap"]["recording"].get<bool>(); }));
    recording.process().kill(SIGKILL);
    recording.process().wait();
  }
  ASSERT_TRUE(eventually([&] { return !status()["keyTap"]["recording"].get<bool>(); }));
  press(kK, "k", flags::control | flags::shift);
  EXPECT_EQ(status()["stopHotkey"], "\u2303\u2325Q");
  EXPECT_EQ(receiversOf(kK), (std::vector<std::string>{"Finder keyDown", "Finder keyUp"}));
}

TEST_F(KeyCapture, ASecondRecordingIsRefusedWhileOneRuns) {
  startInstance();
  Recording recording(*executable_, environment());
  ASSERT_TRUE(eventually([&] { return status()["keyTap"]["recording"].get<bool>(); }));
  const Completed second = run({"record-hotkey"});
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.errors, "A stop hotkey is already being recorded.\n");
  press(kEscape, "\x1b");
  EXPECT_EQ(recording.result(), "cancelled");
}

TEST_F(KeyCapture, WithoutKeyboardAccessNothingIsRecorded) {
  instance_ = std::make_unique<ChildProcess>(std::vector<std::string>{*executable_, "--headless"},
                                             environment((dir_ / "no-simdesk").string()));
  ASSERT_TRUE(instance_->readLine()) << instance_->readStderr();
  const Json tap = status()["keyTap"];
  EXPECT_FALSE(tap["installed"].get<bool>());
  EXPECT_FALSE(tap["trusted"].get<bool>());
  const Completed recording =
      runProgram({*executable_, "record-hotkey"}, {}, environment((dir_ / "no-simdesk").string()));
  EXPECT_EQ(recording.status, 1);
  EXPECT_EQ(recording.errors, "Deskplay has no keyboard access, so it cannot record a hotkey.\n");
}

}  // namespace
}  // namespace deskplay::testing
