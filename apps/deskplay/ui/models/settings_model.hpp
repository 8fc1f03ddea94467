#pragma once

#include <QObject>
#include <optional>

#include "core/account/account_store.hpp"
#include "core/hotkey/hotkey_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/settings/data_folder.hpp"
#include "core/settings/login_item.hpp"
#include "core/settings/permissions_model.hpp"
#include "core/settings/server_config.hpp"
#include "core/settings/sound_setting.hpp"
#include "platform/workspace.hpp"
#include "ui/models/account_pane_model.hpp"
#include "ui/models/controls_pane_model.hpp"
#include "ui/models/desktop_safety_pane_model.hpp"
#include "ui/models/general_pane_model.hpp"
#include "ui/models/multiplayer_pane_model.hpp"
#include "ui/models/permissions_pane_model.hpp"
#include "ui/models/route.hpp"
#include "ui/models/saved_pane_model.hpp"
#include "ui/models/settings_visits.hpp"

namespace deskplay::ui {

// The settings screens: one model per pane, and what their coming and going does. Main
// thread only.
class SettingsModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QObject* account READ account CONSTANT)
  Q_PROPERTY(QObject* general READ general CONSTANT)
  Q_PROPERTY(QObject* permissions READ permissions CONSTANT)
  Q_PROPERTY(QObject* controls READ controls CONSTANT)
  Q_PROPERTY(QObject* saved READ saved CONSTANT)
  Q_PROPERTY(QObject* multiplayer READ multiplayer CONSTANT)
  Q_PROPERTY(QObject* desktop READ desktop CONSTANT)

 public:
  // The stores the panes show and act on; all must outlive the model.
  struct Stores {
    core::AccountStore& account;
    core::ServerConfig& server;
    core::LoginItem& loginItem;
    core::SoundSetting& sounds;
    core::PermissionsModel& permissions;
    core::HotkeyStore& hotkeys;
    core::DataFolder& dataFolder;
    core::GameSupervisor& supervisor;
    platform::Workspace& workspace;
  };

  explicit SettingsModel(Stores stores, QObject* parent = nullptr);

  AccountPaneModel* account() { return &account_; }
  GeneralPaneModel* general() { return &general_; }
  PermissionsPaneModel* permissions() { return &permissions_; }
  ControlsPaneModel* controls() { return &controls_; }
  SavedPaneModel* saved() { return &saved_; }
  MultiplayerPaneModel* multiplayer() { return &multiplayer_; }
  DesktopSafetyPaneModel* desktop() { return &desktop_; }

  // The route on screen now, or nothing (see SettingsVisits::show).
  void show(const std::optional<Route>& onScreen) { visits_.show(onScreen); }

 private:
  AccountPaneModel account_;
  GeneralPaneModel general_;
  PermissionsPaneModel permissions_;
  ControlsPaneModel controls_;
  SavedPaneModel saved_;
  MultiplayerPaneModel multiplayer_;
  DesktopSafetyPaneModel desktop_;
  SettingsVisits visits_;
};

}  // namespace deskplay::ui
