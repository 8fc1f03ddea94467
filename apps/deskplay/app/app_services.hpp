#pragma once

#include <QProcessEnvironment>
#include <filesystem>
#include <functional>
#include <memory>

#include "core/account/account_store.hpp"
#include "core/basics/app_paths.hpp"
#include "core/basics/arcade_log.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/hotkey/hotkey_store.hpp"
#include "core/input/input_socket.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/owned_main_loop_timers.hpp"
#include "core/session/session_host.hpp"
#include "core/settings/data_folder.hpp"
#include "core/settings/login_item.hpp"
#include "core/settings/permissions_model.hpp"
#include "core/settings/server_config.hpp"
#include "core/settings/sound_setting.hpp"
#include "platform/linux/linux_workspace.hpp"
#include "platform/linux/plist_file_preferences.hpp"
#include "platform/linux/secret_service_keychain.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/linux/xdg_autostart_login_items.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "platform/sim/sim_distributed_notifications.hpp"
#include "platform/sim/sim_event_taps.hpp"
#include "platform/sim/sim_privacy_checks.hpp"
#include "platform/sim/sim_script_host.hpp"
#include "platform/sim/sim_status_items.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "platform/sim/simdesk_event_pump.hpp"
#include "platform/tool_paths.hpp"

namespace deskplay::app {

// The folder of the command-line tool stand-ins: $DESKPLAY_SIM_TOOLS when set, else
// "sim-tools" beside the bundle, where the build puts them.
std::filesystem::path simToolsFolder(const QProcessEnvironment& environment,
                                     const std::filesystem::path& bundle);

// The application's one set of platform adapters and stores, wired for Linux: user defaults
// in a property-list file, the real clock, the desktop session's Secret Service as the
// keychain, its autostart folder for the login item, and simdesk for windows, scripts, Finder, the
// keyboard tap and the privacy checks. Created once on the main thread, after the instance lock is
// held.
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
  core::KeyTap& keyTap() { return *keyTap_; }
  core::HotkeyStore& hotkeys() { return *hotkeys_; }
  core::PermissionsModel& permissions() { return *permissions_; }
  core::DataFolder& dataFolder() { return *dataFolder_; }
  core::SessionHost& host() { return *host_; }
  core::AccountStore& account() { return *account_; }
  // The room server's address as the settings edit it.
  core::ServerConfig& serverConfig() { return *serverConfig_; }
  core::LoginItem& loginItem() { return *loginItem_; }
  core::SoundSetting& sounds() { return *sounds_; }
  platform::Preferences& preferences() { return preferences_; }
  platform::Workspace& workspace() { return workspace_; }
  // The ports the menu-bar interface works with.
  platform::StatusItems& statusItems() { return statusItems_; }
  platform::Windows& windows() { return windows_; }
  platform::EventTaps& eventTaps() { return eventTaps_; }
  platform::DistributedNotifications& notifications() { return notifications_; }
  platform::MainLoopTimers& timers() { return timers_; }
  const platform::Clock& clock() const { return clock_; }

  // What the permissions' relaunch runs: start a new instance, then quit this one the way the
  // application quits. Until it is set, a relaunch does nothing.
  void setRelaunch(std::function<void()> relaunch) { relaunch_ = std::move(relaunch); }

 private:
  core::AppPaths paths_;
  platform::ToolPaths tools_;
  platform::SystemClock clock_;
  platform::PlistFilePreferences preferences_;
  platform::SecretServiceKeychain keychain_;
  platform::XdgAutostartLoginItems loginItems_;
  std::unique_ptr<simdesk::protocol::Connection> simdesk_;
  // Display-option changes reach the status panel at once, not at its next call.
  platform::SimdeskEventPump simdeskEvents_;
  platform::SimWindows windows_;
  platform::SimScriptHost scripts_;
  platform::SimWorkspace desktopWorkspace_;
  platform::LinuxWorkspace workspace_;
  platform::SimEventTaps eventTaps_;
  platform::SimAccessibility accessibility_;
  platform::SimPrivacyChecks privacyChecks_;
  platform::SimStatusItems statusItems_;
  platform::SimDistributedNotifications notifications_;
  // After the ports: a goodbye still pending at quit goes before the windows it holds.
  core::OwnedMainLoopTimers timers_;
  core::InputSocket inputSocket_;
  // Before the supervisor, which switches its capturing until the end.
  std::unique_ptr<core::KeyTap> keyTap_;
  std::unique_ptr<core::HotkeyStore> hotkeys_;
  std::function<void()> relaunch_;
  std::unique_ptr<core::PermissionsModel> permissions_;
  std::unique_ptr<core::DataFolder> dataFolder_;
  std::unique_ptr<core::CatalogStore> catalog_;
  std::unique_ptr<core::AccountStore> account_;
  std::unique_ptr<core::ServerConfig> serverConfig_;
  std::unique_ptr<core::LoginItem> loginItem_;
  std::unique_ptr<core::SoundSetting> sounds_;
  std::unique_ptr<core::GameSupervisor> supervisor_;
  std::unique_ptr<core::SessionHost> host_;
};

}  // namespace deskplay::app
