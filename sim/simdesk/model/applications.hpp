#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/accessibility.hpp"
#include "platform/windows.hpp"

namespace deskplay::simdesk {

enum class ApplicationRole { system, client };

struct Application {
  platform::ProcessId pid = 0;
  std::string name;
  std::optional<std::string> bundleIdentifier;
  ApplicationRole role = ApplicationRole::client;
  bool visible = true;  // System Events' `visible of process`
};

// The titles of an application's menus in the menu bar, the Apple menu first.
std::vector<std::string> menuBarTitles(const Application& application);

// The running applications: the system's own (Dock, SystemUIServer, Finder while it runs)
// and the clients that said hello. Process ids of the system's applications lie above every
// Linux pid, so they never collide with a client's.
class Applications {
 public:
  static constexpr platform::ProcessId kDockPid = 4200001;
  static constexpr platform::ProcessId kSystemUIServerPid = 4200002;
  // Finder gets a fresh pid at every launch, counting up from here.
  static constexpr platform::ProcessId kFirstFinderPid = 4200100;

  static constexpr std::string_view kFinderName = "Finder";
  static constexpr std::string_view kFinderBundle = "com.apple.finder";
  static constexpr std::string_view kDockName = "Dock";
  static constexpr std::string_view kSystemUIServerName = "SystemUIServer";

  Applications();

  // A client application (a connection's hello). Registering a pid again renames it.
  void registerClient(platform::ProcessId pid, std::string name,
                      std::optional<std::string> bundleIdentifier = std::nullopt);
  void add(Application application);
  // Drops the application; the frontmost one falls back to Finder (or nothing).
  void remove(platform::ProcessId pid);

  const Application* byPid(platform::ProcessId pid) const;
  // The first application with exactly this name.
  const Application* byName(std::string_view name) const;
  const std::vector<Application>& all() const { return applications_; }
  std::vector<platform::RunningApplication> running() const;

  std::optional<platform::ProcessId> frontmost() const { return frontmost_; }
  std::optional<platform::RunningApplication> frontmostApplication() const;
  // Makes the application frontmost and visible again; false when it does not run.
  bool activate(platform::ProcessId pid);

  // Hides or shows an application (System Events); false when it does not run.
  bool setVisible(platform::ProcessId pid, bool visible);

  // Called with the pid after every change of an application's visibility, and when an
  // application is removed.
  void addVisibilityListener(std::function<void(platform::ProcessId)> listener);

 private:
  Application* find(platform::ProcessId pid);

  std::vector<Application> applications_;
  std::optional<platform::ProcessId> frontmost_;
  std::vector<std::function<void(platform::ProcessId)>> visibilityListeners_;
};

}  // namespace deskplay::simdesk
