// Signing in as a user does: a headless Deskplay, a room server of the test's own, and a
// browser stand-in that follows the sign-in page's deskplay:// link with "Deskplay URL". The
// test runs in a D-Bus session with a keyring of its own, which Deskplay keeps the session in.
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
namespace {

namespace fs = std::filesystem;

constexpr const char* kSessionToken = "session-abc";

// The processes running `executable` with `homeEntry` ("HOME=…") in their environment.
std::vector<pid_t> processesOf(const fs::path& executable, const std::string& homeEntry) {
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
bool hasLine(const std::string& text, const std::string& line) {
  return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

class AccountCli : public ::testing::Test {
 protected:
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
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{FAKE_ROOM_SERVER, "serve", (dir_ / "server-requests").string()});
    const auto ready = server_->readLine();
    ASSERT_TRUE(ready && ready->starts_with("FAKE_ROOM_SERVER_READY ")) << server_->readStderr();
    serverURL_ = "ws://127.0.0.1:" + ready->substr(ready->find(' ') + 1);
    setServerURL(serverURL_);
  }

  void TearDown() override {
    if (instance_) {
      instance_->kill(SIGTERM);
      instance_->wait();
    }
    // An instance that a link started runs detached from the test.
    for (const pid_t pid : processesOf(*executable_, homeEntry())) ::kill(pid, SIGTERM);
    EXPECT_TRUE(eventually([&] { return processesOf(*executable_, homeEntry()).empty(); }));
    server_->kill(SIGTERM);
    server_->wait();
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
            "BROWSER=" + (fs::path(DESKPLAY_ACCOUNT_TEST_FIXTURES) / "fake_browser.sh").string(),
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

  static TempDir* suiteDir_;
  static fs::path* executable_;
  TempDir dir_;
  std::unique_ptr<ChildProcess> server_;
  std::unique_ptr<ChildProcess> instance_;
  std::string serverURL_;
};

TempDir* AccountCli::suiteDir_ = nullptr;
fs::path* AccountCli::executable_ = nullptr;

TEST_F(AccountCli, SignInThroughTheBrowserGivesEnginesTheSessionUntilSignOut) {
  startInstance();
  QJsonObject state = status();
  EXPECT_EQ(state.value("serverURL").toString().toStdString(), serverURL_);
  EXPECT_EQ(state.value("account").toObject(), (QJsonObject{{"state", "signedOut"},
                                                            {"label", QJsonValue::Null},
                                                            {"error", QJsonValue::Null},
                                                            {"checking", false}}));
  EXPECT_EQ(engineEnvironmentOfOneGame().find("DESKPLAY_SESSION_TOKEN="), std::string::npos);

  const Completed signIn = run({"sign-in"});
  ASSERT_EQ(signIn.status, 0) << signIn.errors;
  ASSERT_TRUE(waitForAccountState("signedIn")) << readFile(dir_ / "browser/url-errors");
  EXPECT_EQ(account().value("label").toString(), "ada@example.com");
  EXPECT_TRUE(account().value("error").isNull());
  EXPECT_EQ(readFile(dir_ / "browser/opened"), "http" + serverURL_.substr(2) + "/app-signin\n");
  ASSERT_TRUE(eventually([&] { return fs::exists(dir_ / "browser/url-status"); }));
  EXPECT_EQ(readFile(dir_ / "browser/url-status"), "0\n");
  EXPECT_EQ(storedToken(), kSessionToken);

  const std::string withToken = engineEnvironmentOfOneGame();
  EXPECT_TRUE(hasLine(withToken, std::string("DESKPLAY_SESSION_TOKEN=") + kSessionToken))
      << withToken;

  const Completed signOut = run({"sign-out"});
  ASSERT_EQ(signOut.status, 0) << signOut.errors;
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  EXPECT_EQ(storedToken(), std::nullopt);
  EXPECT_EQ(engineEnvironmentOfOneGame().find("DESKPLAY_SESSION_TOKEN="), std::string::npos);
  ASSERT_TRUE(eventually([&] { return serverRequests().size() == 4; }));
  EXPECT_EQ(serverRequests(), (std::vector<std::string>{
                                  "GET /app-signin",
                                  "POST /api/auth/one-time-token/verify",
                                  std::string("GET /api/me Bearer ") + kSessionToken,
                                  std::string("POST /api/auth/sign-out Bearer ") + kSessionToken,
                              }));
}

TEST_F(AccountCli, ARefreshFindsAStoredSessionAgain) {
  platform::SecretServiceKeychain keychain;
  const std::string token = kSessionToken;
  ASSERT_TRUE(keychain
                  .addPassword("quillon.deskplay", "room-server-session",
                               platform::Keychain::Secret(token.begin(), token.end()),
                               platform::Keychain::Access::afterFirstUnlock)
                  .ok());
  startInstance();
  // The state is not kept across runs: it starts signed out.
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  ASSERT_EQ(run({"refresh"}).status, 0);
  ASSERT_TRUE(waitForAccountState("signedIn"));
  EXPECT_EQ(account().value("label").toString(), "ada@example.com");
  EXPECT_FALSE(account().value("checking").toBool());
}

TEST_F(AccountCli, ALinkStartsAnInstanceWhenNoneRuns) {
  const Completed link = run({"URL", "deskplay://signin?token=one-time-1"});
  ASSERT_EQ(link.status, 0) << link.errors;
  EXPECT_TRUE(link.output.empty());
  ASSERT_TRUE(waitForAccountState("signedIn"));
  EXPECT_EQ(processesOf(*executable_, homeEntry()).size(), 1U);

  // A link used once is refused by the server the second time, which the status shows.
  ASSERT_EQ(run({"sign-out"}).status, 0);
  ASSERT_EQ(run({"URL", "deskplay://signin?token=one-time-1"}).status, 0);
  EXPECT_TRUE(eventually([&] {
    return account().value("error").toString() ==
           "That sign-in link expired or was already used. Try again.";
  }));
}

TEST_F(AccountCli, SignInWithAnUnusableServerAddressFails) {
  setServerURL("ws://");
  startInstance();
  const Completed signIn = run({"sign-in"});
  EXPECT_EQ(signIn.status, 1);
  EXPECT_EQ(signIn.errors, "The room server URL isn't a valid address.\n");
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  EXPECT_FALSE(fs::exists(dir_ / "browser/opened"));
}

}  // namespace
}  // namespace deskplay::testing
