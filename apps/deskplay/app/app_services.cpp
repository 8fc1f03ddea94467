#include "app/app_services.hpp"

#include <QCoreApplication>
#include <utility>

#include "core/account/session_token.hpp"
#include "platform/sim/simdesk_link.hpp"

namespace deskplay::app {

namespace {

// The desktop session's autostart folder. Without an absolute $XDG_CONFIG_HOME or $HOME it is
// the one under the home Qt found, never a folder relative to the working directory.
std::filesystem::path autostartFolder(const core::AppPaths& paths) {
  const auto folder = platform::defaultAutostartFolder();
  return folder.ok() ? folder.value() : paths.home / ".config" / "autostart";
}

}  // namespace

std::filesystem::path simToolsFolder(const QProcessEnvironment& environment,
                                     const std::filesystem::path& bundle) {
  const QString configured = environment.value("DESKPLAY_SIM_TOOLS");
  if (!configured.isEmpty()) return configured.toStdString();
  return bundle.parent_path() / "sim-tools";
}

AppServices::AppServices(std::filesystem::path bundle, QProcessEnvironment environment)
    : paths_(core::AppPaths::forCurrentUser(bundle)),
      tools_(platform::simulatedToolPaths(simToolsFolder(environment, bundle))),
      preferences_(platform::defaultUserDefaultsFile(), platform::defaultPreferencesFolder()),
      loginItems_(QCoreApplication::applicationFilePath().toStdString(), autostartFolder(paths_)),
      simdesk_(platform::connectToSimdesk("Deskplay")),
      simdeskEvents_(*simdesk_),
      windows_(*simdesk_),
      scripts_(*simdesk_),
      desktopWorkspace_(*simdesk_),
      workspace_(desktopWorkspace_),
      eventTaps_(*simdesk_),
      accessibility_(*simdesk_),
      privacyChecks_(*simdesk_),
      statusItems_(*simdesk_),
      notifications_(*simdesk_) {
  keyTap_ = std::make_unique<core::KeyTap>(
      core::KeyTap::Services{eventTaps_, accessibility_, privacyChecks_, workspace_});
  hotkeys_ = std::make_unique<core::HotkeyStore>(preferences_, *keyTap_);
  permissions_ = std::make_unique<core::PermissionsModel>(accessibility_, privacyChecks_,
                                                          workspace_, timers_, log(), [this] {
                                                            if (relaunch_) relaunch_();
                                                          });
  dataFolder_ = std::make_unique<core::DataFolder>(paths_, preferences_, workspace_);
  catalog_ =
      std::make_unique<core::CatalogStore>(paths_, preferences_, clock_, tools_, environment);
  core::GameSupervisor::Services services{preferences_, workspace_,
                                          clock_,       {windows_, scripts_, clock_, timers_},
                                          inputSocket_, accessibility_};
  account_ = std::make_unique<core::AccountStore>(
      core::AccountStore::Services{keychain_, preferences_, workspace_});
  serverConfig_ = std::make_unique<core::ServerConfig>(preferences_);
  loginItem_ = std::make_unique<core::LoginItem>(loginItems_);
  sounds_ = std::make_unique<core::SoundSetting>(
      preferences_, [this](bool muted) { inputSocket_.sendMuted(muted); });
  // Read at every launch, whatever the account's state: a keychain that cannot be read gives
  // the engine no token.
  supervisor_ = std::make_unique<core::GameSupervisor>(
      paths_, services, tools_, std::move(environment),
      [this] { return core::deskplaySessionToken(keychain_); });
  host_ = std::make_unique<core::SessionHost>(
      core::SessionHost::Stores{*supervisor_, *catalog_, inputSocket_, *keyTap_, *hotkeys_,
                                *permissions_, *dataFolder_},
      log());
}

AppServices::~AppServices() = default;

}  // namespace deskplay::app
