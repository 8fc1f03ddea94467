#pragma once

#include <optional>
#include <string>
#include <vector>

#include "core/catalog/game.hpp"
#include "ui/models/settings_category.hpp"

namespace deskplay::ui {

// Which screen the popover shows while no game runs. Two routes are equal when their kind and
// the payload of that kind are.
struct Route {
  enum class Kind { library, modeChoice, setup, settings, settingsCategory };

  static Route library() { return {}; }
  static Route modeChoice(std::string gameID) {
    return {Kind::modeChoice, std::move(gameID), SettingsCategory::account};
  }
  static Route setup(std::string gameID) {
    return {Kind::setup, std::move(gameID), SettingsCategory::account};
  }
  static Route settings() { return {Kind::settings, {}, SettingsCategory::account}; }
  static Route settingsCategory(SettingsCategory category) {
    return {Kind::settingsCategory, {}, category};
  }

  Kind kind = Kind::library;
  // modeChoice and setup only.
  std::string gameID;
  // settingsCategory only.
  SettingsCategory category = SettingsCategory::account;

  friend bool operator==(const Route&, const Route&) = default;
};

// Where the back button leads from `route`; nothing on the library. A setup backs out to the
// library only for a game of the catalog that offers no solo play, so a setup whose game has
// vanished goes back to the mode choice.
std::optional<Route> backDestination(const Route& route, const std::vector<core::Game>& catalog);

// The popover header's title.
std::string headerTitle(const Route& route, bool gameRunning);

}  // namespace deskplay::ui
