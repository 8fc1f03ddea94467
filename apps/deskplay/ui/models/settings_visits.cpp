#include "ui/models/settings_visits.hpp"

namespace deskplay::ui {
namespace {

bool isSettings(const std::optional<Route>& route) {
  return route &&
         (route->kind == Route::Kind::settings || route->kind == Route::Kind::settingsCategory);
}

}  // namespace

void SettingsVisits::show(const std::optional<Route>& onScreen) {
  if (onScreen == onScreen_) return;
  const std::optional<Route> previous = std::exchange(onScreen_, onScreen);
  if (isSettings(previous) && stores_.permissions.isPolling()) stores_.permissions.stopPolling();
  if (!onScreen || onScreen->kind != Route::Kind::settingsCategory) return;
  stores_.loginItem.refresh();
  stores_.permissions.startPolling();
  if (onScreen->category == SettingsCategory::account) stores_.account.refresh();
}

}  // namespace deskplay::ui
