#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <memory>

#include "core/basics/app_paths.hpp"
#include "core/basics/arcade_log.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/owned_main_loop_timers.hpp"
#include "core/session/session_host.hpp"
#include "core/input/input_socket.hpp"
#include "platform/linux/linux_workspace.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/simdesk_event_pump.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "platform/tool_paths.hpp"

namespace deskplay::app {

// The folder of the command-line tool stand-ins: $DESKPLAY_SIM_TOOLS when set, else
// "sim-tools" beside the bundle, where the build puts them.
std::filesystem::path simToolsFolder(const QProcessEnvironment& environment,
                                     const std::filesystem::path& bundle);

// The application's one set of platform adapters and stores, wired for Linux: user defaults
// in a property-list file, the real clock, and simdesk for windows, scripts and Finder.
// Created once on the main thread, after the instance lock is held.
class AppServices {
 public:
  AppServices(std::filesystem::path bundle, QProcessEnvironment environment);
  AppServices(const AppServices&) = delete;
  AppServices& operator=(const AppServices&) = delete;
  ~AppServices();

  const core::AppPaths& paths() const { return paths_; }
  core::ArcadeLog log() const { return {paths_.applicationLog(), clock_}; }
  core::GameSupervisor& supervisor() { return *supervisor_; }
  core::CatalogStore& catalog() { return *catalog_; }
  core::InputSocket& inputSocket() { return inputSocket_; }
  core::SessionHost& host() { return *host_; }

 private:
  core::AppPaths paths_;
  platform::ToolPaths tools_;
  platform::SystemClock clock_;
  platform::PlistFilePreferences preferences_;
  std::unique_ptr<simdesk::protocol::Connection> simdesk_;
  // Display-option changes reach the status panel at once, not at its next call.
  platform::SimdeskEventPump simdeskEvents_;
  platform::SimWindows windows_;
  platform::SimScriptHost scripts_;
  platform::SimWorkspace desktopWorkspace_;
  platform::LinuxWorkspace workspace_;
  // After the ports: a goodbye still pending at quit goes before the windows it holds.
  core::OwnedMainLoopTimers timers_;
  core::InputSocket inputSocket_;
  std::unique_ptr<core::CatalogStore> catalog_;
  std::unique_ptr<core::GameSupervisor> supervisor_;
  std::unique_ptr<core::SessionHost> host_;
};

}  // namespace deskplay::app
