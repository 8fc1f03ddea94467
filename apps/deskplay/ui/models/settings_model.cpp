#include "ui/models/settings_model.hpp"

namespace deskplay::ui {

SettingsModel::SettingsModel(Stores stores, QObject* parent)
    : QObject(parent),
      account_({stores.account, stores.server}),
      general_({stores.loginItem, stores.sounds}),
      permissions_(stores.permissions),
      controls_(stores.hotkeys),
      saved_({stores.dataFolder, stores.workspace}),
      multiplayer_(stores.server),
      desktop_(stores.supervisor),
      visits_({stores.loginItem, stores.permissions, stores.account}) {}

}  // namespace deskplay::ui
