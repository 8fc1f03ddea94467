#include "ui/models/route.hpp"

#include <algorithm>

namespace deskplay::ui {

std::optional<Route> backDestination(const Route& route, const std::vector<core::Game>& catalog) {
  switch (route.kind) {
    case Route::Kind::library:
      return std::nullopt;
    case Route::Kind::settings:
    case Route::Kind::modeChoice:
      return Route::library();
    case Route::Kind::settingsCategory:
      return Route::settings();
    case Route::Kind::setup: {
      const auto game = std::ranges::find(catalog, route.gameID, &core::Game::id);
      if (game != catalog.end() && game->launch == core::LaunchMode::multiplayerOnly) {
        return Route::library();
      }
      return Route::modeChoice(route.gameID);
    }
  }
  return std::nullopt;
}

std::string headerTitle(const Route& route, bool gameRunning) {
  if (gameRunning) return "Deskplay";
  switch (route.kind) {
    case Route::Kind::settings:
      return "Settings";
    case Route::Kind::settingsCategory:
      return std::string(settingsCategoryInfo(route.category).title);
    case Route::Kind::library:
    case Route::Kind::modeChoice:
    case Route::Kind::setup:
      break;
  }
  return "Deskplay";
}

}  // namespace deskplay::ui
