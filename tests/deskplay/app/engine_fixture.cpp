#include "engine_fixture.hpp"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QThread>
#include <algorithm>
#include <sstream>

namespace deskplay::testing {

namespace fs = std::filesystem;

fs::path fakeEngineScript() {
  return fs::path(DESKPLAY_APP_TEST_FIXTURES) / "fake_engine.sh";
}

bool waitUntil(const std::function<bool()>& done, int seconds) {
  return QTest::qWaitFor(done, seconds * 1000);
}

EngineFixture::EngineFixture(Layout layout) : home_(root_ / "home") {
  fs::create_directories(home_ / "Desktop");
  fs::create_directories(root_ / "tmp");
  fs::create_directories(root_ / "runtime");
  if (layout == Layout::packaged) {
    const fs::path bundle = root_ / "Deskplay.app";
    fs::create_directories(bundle / "Contents/Resources/games/snake");
    fs::create_symlink(fakeEngineScript(), bundle / "Contents/Resources/node");
    paths_ = core::AppPaths{home_, root_ / "tmp", bundle};
  } else {
    checkout_ = root_ / "check'out";
    fs::create_directories(*checkout_ / "games");
    fs::create_directories(*checkout_ / "build/default/Deskplay.app/Contents/MacOS");
    writeFile(*checkout_ / "pnpm-workspace.yaml", "packages: []\n");
    paths_ = core::AppPaths{home_, root_ / "tmp", *checkout_ / "build/default/Deskplay.app"};
    fakeBin_ = root_ / "fake-bin";
    fs::create_directories(fakeBin_);
    fs::create_symlink(fakeEngineScript(), fakeBin_ / "node");
    // The login shell reads this before anything else of the user's.
    writeFile(home_ / ".zshenv", "export PATH='" + fakeBin_.string() + "':\"$PATH\"\n");
  }
  inputSocket.start();
}

core::Game EngineFixture::game(const std::string& id) const {
  core::Game game;
  game.id = id;
  game.name = id;
  game.entryFile = id + "/main.ts";
  if (!checkout_) game.bundleURL = resources() / "games" / id;
  return game;
}

QProcessEnvironment EngineFixture::environment(
    const std::map<std::string, std::string>& engine) const {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.remove("ZDOTDIR");
  environment.insert("HOME", QString::fromStdString(home_.string()));
  environment.insert("TMPDIR", QString::fromStdString((root_ / "tmp").string()));
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString((root_ / "runtime").string()));
  environment.insert("FAKE_ENGINE_RECORD", QString::fromStdString(recordDir().string()));
  for (const auto& [name, value] : engine) {
    environment.insert(QString::fromStdString(name), QString::fromStdString(value));
  }
  return environment;
}

std::unique_ptr<core::GameSupervisor> EngineFixture::makeSupervisor(
    const QProcessEnvironment& environment, core::GameSupervisor::SessionTokenSource token) {
  core::GameSupervisor::Services services{
      preferences, workspace, clock, {windows, scripts, clock, timers}, inputSocket, accessibility};
  return std::make_unique<core::GameSupervisor>(paths_, services,
                                                platform::simulatedToolPaths(root_ / "sim-tools"),
                                                environment, std::move(token));
}

std::vector<std::string> EngineFixture::engineArguments() const {
  const std::string text = readFile(recordDir() / "argv");
  std::vector<std::string> arguments;
  std::string::size_type start = 0;
  for (auto end = text.find('\0'); end != std::string::npos; end = text.find('\0', start)) {
    arguments.push_back(text.substr(start, end - start));
    start = end + 1;
  }
  return arguments;
}

std::map<std::string, std::string> EngineFixture::engineEnvironment() const {
  std::map<std::string, std::string> entries;
  std::istringstream lines(readFile(recordDir() / "env"));
  for (std::string line; std::getline(lines, line);) {
    const auto equals = line.find('=');
    if (equals != std::string::npos) entries[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return entries;
}

fs::path EngineFixture::engineWorkingDirectory() const {
  std::string text = readFile(recordDir() / "cwd");
  while (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

std::string EngineFixture::engineDesktopListing() const {
  return readFile(recordDir() / "desktop");
}

int EngineFixture::termsReceived() const {
  if (!fs::exists(recordDir() / "terms")) return 0;
  const std::string text = readFile(recordDir() / "terms");
  return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

bool EngineFixture::engineStarted() const {
  return fs::exists(recordDir() / "started");
}

std::vector<fs::path> EngineFixture::sessionDirectories() const {
  std::vector<fs::path> found;
  for (const auto& entry : fs::directory_iterator(paths_.temporaryDirectory)) {
    if (entry.path().filename().string().starts_with("deskplay-session-")) {
      found.push_back(entry.path());
    }
  }
  return found;
}

}  // namespace deskplay::testing
