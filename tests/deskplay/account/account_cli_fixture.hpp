// Signing in as a user does: a headless Deskplay, a room server of the test's own, and a
// browser stand-in that follows the sign-in page's deskplay:// link with "Deskplay URL". The
// tests run in a D-Bus session with a keyring of their own, which Deskplay keeps the session in.
#pragma once

#include <gtest/gtest.h>
#include <signal.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/secret_service_keychain.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"
#include "test_bundle.hpp"

namespace deskplay::testing {

namespace fs = std::filesystem;

inline constexpr const char* kSessionToken = "session-abc";

// The processes running `executable` with `homeEntry` ("HOME=…") in their environment.
inline std::vector<pid_t> processesOf(const fs::path& executable, const std::string& homeEntry) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::error_code unreadable;
    if (fs::read_symlink(entry.path() / "exe", unreadable) != executable) continue;
    std::ifstream environment(entry.path() / "environ", std::ios::binary);
    for (std::string variable; std::getline(environment, variable, '\0');) {
      if (variable == homeEntry) found.push_back(static_cast<pid_t>(std::stol(name)));
    }
  }
  return found;
}

// Whether `text` has `line` as one of its lines.
inline bool hasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class AccountCli : public ::testing::Test {
 protected:
  ~AccountCli() override = default;

  static void SetUpTestSuite() {
    suiteDir_ = new TempDir();
    const fs::path executable =
        makeTestBundle(suiteDir_->path(), DESKPLAY_EXECUTABLE,
                       fs::path(DESKPLAY_APP_TEST_FIXTURES) / "fake_engine.sh");
    addTestGame(suiteDir_->path() / "Deskplay.app/Contents/Resources/games", "snake", 1);
    executable_ = new fs::path(executable);
  }
  static void TearDownTestSuite() {
    delete executable_;
    delete suiteDir_;
  }

  void SetUp() override {
    for (const char* folder : {"home/Desktop", "tmp", "runtime", "record", "browser"}) {
      fs::create_directories(dir_ / folder);
    }
    fs::permissions(dir_ / "runtime", fs::perms::owner_all);
    ASSERT_NO_FATAL_FAILURE(startServer(roomServer()));
    setServerURL(serverURL_);
  }

  // The room server of the test: its command line and the word its ready line starts with.
  struct RoomServer {
    std::vector<std::string> command;
    std::string readyWord;
  };
  virtual RoomServer roomServer() const {
    return {{FAKE_ROOM_SERVER, "serve", (dir_ / "server-requests").string()},
            "FAKE_ROOM_SERVER_READY"};
  }
  // The browser stand-in that follows the server's sign-in page.
  virtual std::string browser() const {
    return (fs::path(DESKPLAY_ACCOUNT_TEST_FIXTURES) / "fake_browser.sh").string();
  }

  void startServer(const RoomServer& server) {
    server_ = std::make_unique<ChildProcess>(server.command);
    const auto ready = server_->readLine();
    ASSERT_TRUE(ready && ready->starts_with(server.readyWord + " ")) << server_->readStderr();
    serverURL_ = "ws://127.0.0.1:" + ready->substr(ready->find(' ') + 1);
  }

  void stopServer() {
    server_->kill(SIGTERM);
    server_->wait();
  }

  void TearDown() override {
    if (instance_) {
      instance_->kill(SIGTERM);
      instance_->wait();
    }
    // An instance that a link started runs detached from the test.
    for (const pid_t pid : processesOf(*executable_, homeEntry())) ::kill(pid, SIGTERM);
    EXPECT_TRUE(eventually([&] { return processesOf(*executable_, homeEntry()).empty(); }));
    stopServer();
    platform::SecretServiceKeychain keychain;
    static_cast<void>(keychain.deletePasswords("quillon.deskplay", "room-server-session"));
  }

  std::string homeEntry() const { return "HOME=" + (dir_ / "home").string(); }

  void setServerURL(const std::string& url) {
    platform::PlistFilePreferences preferences(dir_ / "home/.config/Deskplay/UserDefaults.plist",
                                               dir_ / "home/Library/Preferences");
    ASSERT_TRUE(preferences.setValue("serverURL", {url}).ok());
  }

  std::vector<std::string> environment() const {
    return {homeEntry(),
            "TMPDIR=" + (dir_ / "tmp").string(),
            "XDG_RUNTIME_DIR=" + (dir_ / "runtime").string(),
            "XDG_CONFIG_HOME=" + (dir_ / "home/.config").string(),
            "SIMDESK_SOCKET=" + (dir_ / "runtime/no-simdesk").string(),
            "QT_QPA_PLATFORM=offscreen",
            "DISPLAY=",
            "WAYLAND_DISPLAY=",
            "FAKE_ENGINE_RECORD=" + (dir_ / "record").string(),
            "BROWSER=" + browser(),
            "FAKE_BROWSER_RECORD=" + (dir_ / "browser").string(),
            std::string("FAKE_ROOM_SERVER=") + FAKE_ROOM_SERVER,
            "DESKPLAY=" + executable_->string()};
  }

  void startInstance() {
    instance_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{executable_->string(), "--headless"}, environment());
    const auto ready = instance_->readLine();
    ASSERT_TRUE(ready) << instance_->readStderr();
  }

  Completed run(const std::vector<std::string>& args) const {
    std::vector<std::string> argv{executable_->string()};
    argv.insert(argv.end(), args.begin(), args.end());
    return runProgram(argv, {}, environment());
  }

  QJsonObject status() const {
    const Completed result = run({"status"});
    EXPECT_EQ(result.status, 0) << result.errors;
    return QJsonDocument::fromJson(QByteArray::fromStdString(result.output)).object();
  }
  QJsonObject account() const { return status().value("account").toObject(); }

  bool waitForAccountState(const QString& state) const {
    return eventually([&] { return account().value("state").toString() == state; });
  }

  // The requests the server saw, as "METHOD path authorization".
  std::vector<std::string> serverRequests() const {
    std::vector<std::string> requests;
    std::ifstream in(dir_ / "server-requests");
    for (std::string line; std::getline(in, line);) {
      const QJsonObject request = QJsonDocument::fromJson(QByteArray::fromStdString(line)).object();
      requests.push_back((request.value("method").toString() + " " +
                          request.value("path").toString() + " " +
                          request.value("authorization").toString())
                             .trimmed()
                             .toStdString());
    }
    return requests;
  }

  // Plays the game to its end and gives the engine's environment, one variable a line.
  std::string engineEnvironmentOfOneGame() const {
    fs::remove(dir_ / "record/env");
    const Completed play = run({"play", "snake"});
    EXPECT_EQ(play.status, 0) << play.errors;
    EXPECT_TRUE(eventually([&] {
      return fs::exists(dir_ / "record/env") && status().value("session").toString() == "idle";
    }));
    return readFile(dir_ / "record/env");
  }

  static std::optional<std::string> storedToken() {
    platform::SecretServiceKeychain keychain;
    const auto secret = keychain.copyPassword("quillon.deskplay", "room-server-session");
    if (!secret) return std::nullopt;
    return std::string(secret->begin(), secret->end());
  }

  inline static TempDir* suiteDir_ = nullptr;
  inline static fs::path* executable_ = nullptr;
  TempDir dir_;
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> instance_;
  std::string serverURL_;
};

}  // namespace deskplay::testing
