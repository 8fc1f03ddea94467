#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <vector>

#include "simdesk_session.hpp"
#include "support/child_process.hpp"
#include "support/eventually.hpp"
#include "support/temp_dir.hpp"
#include "support/tile_names.hpp"

namespace deskplay::testing {

// A Desktop icon as Finder's model shows it.
struct DesktopIcon {
  std::string name;
  double x = 0;
  double y = 0;
  bool operator==(const DesktopIcon&) const = default;
};

// A person's session for a whole game: simdesk with a home whose Desktop holds a few items of
// the person's own, and Deskplay on it, started from the bundle `executable`: headless, driven
// by its command line, or in the menu bar, driven through its popover.
class PlayedDesktop {
 public:
  enum class Interface { headless, menuBar };

  explicit PlayedDesktop(std::filesystem::path executable,
                         Interface interface = Interface::headless);
  ~PlayedDesktop();

  // Starts simdesk, runs `beforeDeskplay` when given, and starts Deskplay; false (with the
  // reason in `failure`) when either did not come up.
  bool start(const std::vector<std::string>& environment = {},
             const std::function<void()>& beforeDeskplay = {});
  // Ends Deskplay with `signal` and waits for it: its exit status, or 128 + the signal.
  // What it started is left as it is.
  int stopDeskplay(int signal);
  // Starts Deskplay again on the same simdesk and home, as the person would after it died;
  // false (with the reason in `failure`) when it did not come up.
  bool restartDeskplay(const std::vector<std::string>& environment = {});
  std::string failure;

  SimdeskSession& simdesk() { return simdesk_; }
  const SimdeskSession& simdesk() const { return simdesk_; }
  std::filesystem::path home() const { return simdesk_.home(); }
  std::filesystem::path desktop() const { return simdesk_.desktop(); }
  std::filesystem::path gameLog() const { return temporary_ / "deskplay-game.log"; }
  std::filesystem::path applicationLog() const { return temporary_ / "deskplay-app.log"; }
  std::string gameLogText() const;

  // Deskplay's command line against the running instance.
  Completed deskplay(const std::vector<std::string>& arguments) const;
  nlohmann::json status() const;

  // The user's own Desktop entries (name → content, "/" for a folder), from the file system.
  std::map<std::string, std::string> userEntries() const;
  // Finder's icons for the user's entries and for the game's tiles (icons named with thin and
  // hair spaces only).
  std::vector<DesktopIcon> userIcons() const;
  std::vector<DesktopIcon> tiles() const;
  // Finder's icon view options and the Dock and menu-bar settings.
  nlohmann::json viewSettings() const;

  // A virtual key code with modifier flags ("control,option"), as the person's own key.
  void pressKey(int keyCode, const std::string& flags = {}) const;
  void click(double x, double y) const;
  void pressStopHotkey() const { pressKey(12, "control,option"); }

  // The engine process of this session (found by its environment), or nothing.
  std::optional<pid_t> enginePid() const;
  // What the engine of this session got in its environment (name → value); empty while none
  // runs.
  std::map<std::string, std::string> engineEnvironment() const;

  // A PNG of the screen under the build folder, named `name`.
  std::filesystem::path screenshot(const std::string& name) const;

 private:
  std::vector<std::string> environment() const;
  bool startDeskplay(const std::vector<std::string>& environment);

  std::filesystem::path executable_;
  Interface interface_;
  SimdeskSession simdesk_;
  TempDir scratch_;
  std::filesystem::path temporary_;
  std::unique_ptr<ChildProcess> instance_;
};

// The application built by this tree, and the checkout of the game workspace.
std::filesystem::path builtBundle();
std::filesystem::path workspaceSource();

}  // namespace deskplay::testing
