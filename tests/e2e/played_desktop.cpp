#include "played_desktop.hpp"

#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <sstream>

namespace deskplay::testing {

namespace fs = std::filesystem;

namespace {

// A file of the process's environment, NUL-separated, or empty when it cannot be read.
std::vector<std::string> processEnvironment(const fs::path& proc) {
  std::ifstream in(proc / "environ", std::ios::binary);
  std::vector<std::string> entries;
  for (std::string entry; std::getline(in, entry, '\0');) entries.push_back(entry);
  return entries;
}

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace

fs::path builtBundle() {
  return DESKPLAY_BUNDLE;
}

fs::path workspaceSource() {
  return TILESTACK_SOURCE;
}

PlayedDesktop::PlayedDesktop(fs::path executable, Interface interface)
    : executable_(std::move(executable)), interface_(interface), temporary_(scratch_ / "tmp") {
  fs::create_directories(temporary_);
  // The person's own Desktop, which every game must leave as it found it.
  writeFile(desktop() / "notes.txt", "groceries: eggs, rice\n");
  writeFile(desktop() / "todo.md", "# todo\n- call Ada\n");
  fs::create_directories(desktop() / "Projects");
  writeFile(desktop() / "Projects" / "plan.txt", "ship it\n");
}

PlayedDesktop::~PlayedDesktop() {
  if (instance_) {
    instance_->kill(SIGTERM);
    instance_->wait();
  }
}

std::vector<std::string> PlayedDesktop::environment() const {
  std::vector<std::string> entries = simdesk_.environment();
  entries.insert(
      entries.end(),
      {"TMPDIR=" + temporary_.string(), "XDG_CONFIG_HOME=" + (home() / ".config").string(),
       "XDG_DATA_HOME=" + (home() / ".local/share").string(),
       "DESKPLAY_SIM_TOOLS=" + simToolsFolder().string(), "SDL_AUDIODRIVER=dummy",
       "DISPLAY=", "WAYLAND_DISPLAY=",
       // No keyring of the user's: no session token at all.
       "DBUS_SESSION_BUS_ADDRESS=unix:path=" + (temporary_ / "no-bus").string()});
  return entries;
}

bool PlayedDesktop::start(const std::vector<std::string>& more,
                          const std::function<void()>& beforeDeskplay) {
  if (!simdesk_.start()) {
    failure = "simdesk did not start";
    return false;
  }
  if (beforeDeskplay) beforeDeskplay();
  return startDeskplay(more);
}

bool PlayedDesktop::startDeskplay(const std::vector<std::string>& more) {
  std::vector<std::string> entries = environment();
  entries.insert(entries.end(), more.begin(), more.end());
  std::vector<std::string> command{executable_.string()};
  if (interface_ == Interface::headless) command.push_back("--headless");
  instance_ = std::make_unique<ChildProcess>(command, entries);
  const std::optional<std::string> ready = instance_->readLine(std::chrono::seconds(60));
  if (!ready || !ready->starts_with("DESKPLAY_READY ")) {
    failure = "Deskplay did not start: " + instance_->readStderr();
    return false;
  }
  return true;
}

int PlayedDesktop::stopDeskplay(int signal) {
  if (!instance_) return -1;
  instance_->kill(signal);
  const int status = instance_->wait();
  instance_.reset();
  return status;
}

bool PlayedDesktop::restartDeskplay(const std::vector<std::string>& more) {
  if (instance_) stopDeskplay(SIGTERM);
  return startDeskplay(more);
}

std::string PlayedDesktop::gameLogText() const {
  return fileText(gameLog());
}

Completed PlayedDesktop::deskplay(const std::vector<std::string>& arguments) const {
  std::vector<std::string> argv{executable_.string()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return runProgram(argv, {}, environment());
}

nlohmann::json PlayedDesktop::status() const {
  const Completed shown = deskplay({"status"});
  EXPECT_EQ(shown.status, 0) << shown.errors;
  return nlohmann::json::parse(shown.output, nullptr, false);
}

std::map<std::string, std::string> PlayedDesktop::userEntries() const {
  std::map<std::string, std::string> entries;
  std::error_code error;
  for (const fs::directory_entry& entry : fs::directory_iterator(desktop(), error)) {
    const std::string name = entry.path().filename().string();
    if (name.starts_with(".") || isTileName(name)) continue;
    entries[name] = entry.is_directory() ? "/" : fileText(entry.path());
  }
  return entries;
}

namespace {

std::vector<DesktopIcon> icons(const nlohmann::json& state, bool wantTiles) {
  std::vector<DesktopIcon> found;
  if (!state.is_object() || !state.contains("finder")) return found;
  for (const nlohmann::json& item : state["finder"]["items"]) {
    const std::string name = item.value("name", "");
    if (isTileName(name) != wantTiles) continue;
    found.push_back({name, item["position"].value("x", 0.0), item["position"].value("y", 0.0)});
  }
  return found;
}

}  // namespace

std::vector<DesktopIcon> PlayedDesktop::userIcons() const {
  return icons(simdesk_.state(), false);
}

std::vector<DesktopIcon> PlayedDesktop::tiles() const {
  return icons(simdesk_.state(), true);
}

nlohmann::json PlayedDesktop::viewSettings() const {
  const nlohmann::json state = simdesk_.state();
  return {{"iconViewOptions", state["finder"]["iconViewOptions"]},
          {"dockAutohide", state["dockAutohide"]},
          {"menuBarAutohide", state["menuBarAutohide"]}};
}

void PlayedDesktop::pressKey(int keyCode, const std::string& flags) const {
  std::vector<std::string> arguments{"key", std::to_string(keyCode)};
  if (!flags.empty()) arguments.insert(arguments.end(), {"--flags", flags});
  const Completed pressed = simdesk_.ctl(arguments);
  EXPECT_EQ(pressed.status, 0) << pressed.errors;
}

void PlayedDesktop::click(double x, double y) const {
  const Completed clicked = simdesk_.ctl(
      {"click", std::to_string(static_cast<long>(x)), std::to_string(static_cast<long>(y))});
  EXPECT_EQ(clicked.status, 0) << clicked.errors;
}

std::optional<pid_t> PlayedDesktop::enginePid() const {
  const std::string home = "HOME=" + this->home().string();
  std::error_code error;
  for (const fs::directory_entry& proc : fs::directory_iterator("/proc", error)) {
    const std::string name = proc.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const std::vector<std::string> entries = processEnvironment(proc.path());
    bool ours = false;
    bool engine = false;
    for (const std::string& entry : entries) {
      ours = ours || entry == home;
      engine = engine || entry.starts_with("FRONDEL_SESSION_ID=");
    }
    // The engine's companions inherit its environment too; the engine is the one whose
    // command runs node.
    if (!ours || !engine) continue;
    const std::string command = fileText(proc.path() / "cmdline");
    if (command.find("node") == std::string::npos) continue;
    if (command.find("frondel-bin") != std::string::npos) continue;
    if (command.find("\0-e\0", 0, 4) != std::string::npos) continue;
    return static_cast<pid_t>(std::stol(name));
  }
  return std::nullopt;
}

std::map<std::string, std::string> PlayedDesktop::engineEnvironment() const {
  std::map<std::string, std::string> variables;
  const std::optional<pid_t> engine = enginePid();
  if (!engine) return variables;
  for (const std::string& entry : processEnvironment(fs::path("/proc") / std::to_string(*engine))) {
    const std::size_t equals = entry.find('=');
    if (equals != std::string::npos) variables[entry.substr(0, equals)] = entry.substr(equals + 1);
  }
  return variables;
}

fs::path PlayedDesktop::screenshot(const std::string& name) const {
  fs::create_directories(E2E_SCREENSHOTS);
  const fs::path out = fs::path(E2E_SCREENSHOTS) / (name + ".png");
  const Completed taken = simdesk_.ctl({"screenshot", out.string()});
  EXPECT_EQ(taken.status, 0) << taken.errors;
  return out;
}

}  // namespace deskplay::testing
