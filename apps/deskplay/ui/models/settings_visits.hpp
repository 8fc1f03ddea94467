#pragma once

#include <optional>

#include "core/account/account_store.hpp"
#include "core/settings/login_item.hpp"
#include "core/settings/permissions_model.hpp"
#include "ui/models/route.hpp"

namespace deskplay::ui {

// What the settings screens do as they come and go. Each time a pane comes on screen the
// login item and the account (on the Account pane) are read again and the permissions polled;
// when a pane or the settings menu goes, a running poll stops, so one visit logs one start
// and one stop. Main thread only.
class SettingsVisits {
 public:
  struct Stores {
    core::LoginItem& loginItem;
    core::PermissionsModel& permissions;
    core::AccountStore& account;
  };

  explicit SettingsVisits(Stores stores) : stores_(stores) {}

  // The route on screen now; nothing while the popover is closed or another screen (the
  // now-playing one) covers the route.
  void show(const std::optional<Route>& onScreen);

 private:
  Stores stores_;
  std::optional<Route> onScreen_;
};

}  // namespace deskplay::ui
