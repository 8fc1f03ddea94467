// The keychain tests' entry point. The tests may only ever see a keyring of their own: run
// outside such a session, the program starts a D-Bus session with a fresh, unlocked
// gnome-keyring in temporary folders and runs itself again inside it.
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "support/temp_dir.hpp"

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kInsideMarker = "DESKPLAY_PRIVATE_KEYRING_SESSION";

// What would lead the bus, the keyring daemon or an unlock prompt to the user's own session.
constexpr std::array<std::string_view, 9> kDropped = {"DBUS_SESSION_BUS_ADDRESS",
                                                      "DBUS_SESSION_BUS_PID",
                                                      "DBUS_STARTER_ADDRESS",
                                                      "DBUS_STARTER_BUS_TYPE",
                                                      "GNOME_KEYRING_CONTROL",
                                                      "SSH_AUTH_SOCK",
                                                      "DISPLAY",
                                                      "WAYLAND_DISPLAY",
                                                      "SECRET_BACKEND"};

// The keyring daemon reads the login keyring's password on stdin and creates that keyring. The
// tests start only once it owns the service's name: a test that asked earlier would have the bus
// start a second daemon of its own.
constexpr const char* kSessionScript =
    "printf %s password | gnome-keyring-daemon --unlock --components=secrets >/dev/null || "
    "exit 1; gdbus wait --session --timeout 30 org.freedesktop.secrets || exit 1; "
    "exec \"$0\" \"$@\"";

// Names the session by its folder, so that its processes can be told from any other's.
std::string markerEntry(const fs::path& root) {
  return std::string(kInsideMarker) + "=" + root.string();
}

bool isListingOnly(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::string_view(argv[i]) == "--gtest_list_tests") return true;
  }
  return false;
}

// Whether a process's environment holds `entry`. Processes that are gone or not ours read as not.
bool environmentHolds(const fs::path& processFolder, const std::string& entry) {
  std::ifstream environment(processFolder / "environ", std::ios::binary);
  std::string variable;
  while (std::getline(environment, variable, '\0')) {
    if (variable == entry) return true;
  }
  return false;
}

// Ends every process that still carries the session's marker once the session is over: daemons
// the keyring or the bus left behind would otherwise outlive the test and hold its output open.
void endLeftoverProcesses(const std::string& marker) {
  constexpr int kMostPasses = 1000;
  const pid_t self = ::getpid();
  for (int pass = 0, found = 1; found != 0 && pass < kMostPasses; ++pass) {
    found = 0;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/proc", error)) {
      const std::string name = entry.path().filename().string();
      if (name.find_first_not_of("0123456789") != std::string::npos) continue;
      const pid_t pid = static_cast<pid_t>(std::stol(name));
      if (pid == self || !environmentHolds(entry.path(), marker)) continue;
      if (::kill(pid, SIGKILL) == 0) found = 1;
    }
  }
}

std::vector<std::string> privateEnvironment(const fs::path& root) {
  const std::array<std::pair<std::string_view, fs::path>, 5> folders = {{
      {"HOME", root / "home"},
      {"XDG_RUNTIME_DIR", root / "runtime"},
      {"XDG_DATA_HOME", root / "data"},
      {"XDG_CONFIG_HOME", root / "config"},
      {"XDG_CACHE_HOME", root / "cache"},
  }};
  std::vector<std::string> environment;
  for (char** entry = environ; *entry != nullptr; ++entry) {
    const std::string_view text(*entry);
    const std::string_view name = text.substr(0, text.find('='));
    bool replaced = false;
    for (const auto& dropped : kDropped) replaced = replaced || name == dropped;
    for (const auto& [folderName, path] : folders) replaced = replaced || name == folderName;
    if (!replaced) environment.emplace_back(text);
  }
  for (const auto& [name, path] : folders) {
    fs::create_directory(path);
    fs::permissions(path, fs::perms::owner_all);
    environment.push_back(std::string(name) + "=" + path.string());
  }
  environment.push_back(markerEntry(root));
  return environment;
}

int runInPrivateSession(int argc, char** argv) {
  const deskplay::testing::TempDir root;
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  std::vector<std::string> arguments = {"dbus-run-session", "--", "sh", "-c", kSessionScript, self};
  for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
  std::vector<char*> argumentPointers;
  for (std::string& argument : arguments) argumentPointers.push_back(argument.data());
  argumentPointers.push_back(nullptr);

  std::vector<std::string> environment = privateEnvironment(root.path());
  std::vector<char*> environmentPointers;
  for (std::string& entry : environment) environmentPointers.push_back(entry.data());
  environmentPointers.push_back(nullptr);

  pid_t child = -1;
  const int spawned = ::posix_spawnp(&child, argumentPointers[0], nullptr, nullptr,
                                     argumentPointers.data(), environmentPointers.data());
  if (spawned != 0) {
    std::cerr << "cannot start dbus-run-session: " << std::strerror(spawned) << "\n";
    return 1;
  }
  int raw = 0;
  while (::waitpid(child, &raw, 0) < 0 && errno == EINTR) {
  }
  endLeftoverProcesses(markerEntry(root.path()));
  if (WIFEXITED(raw)) return WEXITSTATUS(raw);
  return 128 + WTERMSIG(raw);
}

}  // namespace

int main(int argc, char** argv) {
  const char* inside = std::getenv(kInsideMarker);
  if ((inside == nullptr || *inside == '\0') && !isListingOnly(argc, argv)) {
    return runInPrivateSession(argc, argv);
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
