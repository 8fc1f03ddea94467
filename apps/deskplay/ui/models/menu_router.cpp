#include "ui/models/menu_router.hpp"

#include <QMetaObject>
#include <algorithm>

#include "core/session/stop_request.hpp"
#include "ui/models/game_presentation.hpp"
#include "ui/models/qt_text.hpp"

namespace deskplay::ui {
namespace {

QString routeScreen(Route::Kind kind) {
  switch (kind) {
    case Route::Kind::library:
      return QStringLiteral("library");
    case Route::Kind::modeChoice:
      return QStringLiteral("modeChoice");
    case Route::Kind::setup:
      return QStringLiteral("setup");
    case Route::Kind::settings:
      return QStringLiteral("settings");
    case Route::Kind::settingsCategory:
      return QStringLiteral("settingsCategory");
  }
  return {};
}

}  // namespace

MenuRouter::MenuRouter(Stores stores, UniformDraw draw, QObject* parent)
    : QObject(parent),
      stores_(stores),
      library_(stores.tap, stores.catalog),
      setup_(
          {stores.tap, stores.account, stores.server},
          [this](const std::vector<std::string>& arguments) { play(route_.gameID, arguments); },
          std::move(draw)),
      settings_({stores.account, stores.server, stores.loginItem, stores.sounds, stores.permissions,
                 stores.hotkeys, stores.dataFolder, stores.supervisor, stores.workspace}),
      currentGameID_(stores.supervisor.currentGame()
                         ? std::optional(stores.supervisor.currentGame()->id)
                         : std::nullopt) {
  connect(&stores_.supervisor, &core::GameSupervisor::currentGameChanged, this,
          &MenuRouter::currentGameChanged);
  connect(&stores_.supervisor, &core::GameSupervisor::lastErrorChanged, this,
          &MenuRouter::lastErrorChanged);
  connect(&stores_.tap, &core::KeyTap::trustedChanged, this, &MenuRouter::gamesEnabledChanged);
  // The back destination and the route's game follow the catalog.
  connect(&stores_.catalog, &core::CatalogStore::gamesChanged, this, &MenuRouter::screenChanged);
}

void MenuRouter::setRoute(Route route) {
  if (route == route_) return;
  route_ = std::move(route);
  if (route_.kind == Route::Kind::setup) {
    if (const auto game = catalogGame(route_.gameID)) setup_.begin(*game);
  }
  announceScreen();
}

void MenuRouter::setPopoverShown(bool shown) {
  if (shown == popoverShown_) return;
  popoverShown_ = shown;
  showSettingsOnScreen();
}

QString MenuRouter::screen() const {
  if (showsNowPlaying()) return QStringLiteral("nowPlaying");
  return routeScreen(route_.kind);
}

QString MenuRouter::headerTitle() const {
  return QString::fromStdString(ui::headerTitle(route_, showsNowPlaying()));
}

QString MenuRouter::settingsCategory() const {
  if (route_.kind != Route::Kind::settingsCategory) return {};
  return qtText(settingsCategoryInfo(route_.category).name);
}

QVariantMap MenuRouter::routeGame() const {
  if (route_.kind != Route::Kind::modeChoice && route_.kind != Route::Kind::setup) return {};
  const auto game = catalogGame(route_.gameID);
  return game ? gamePresentation(*game) : QVariantMap{};
}

QVariantMap MenuRouter::currentGame() const {
  const auto& game = stores_.supervisor.currentGame();
  return game ? gamePresentation(*game) : QVariantMap{};
}

QString MenuRouter::lastError() const {
  return QString::fromStdString(stores_.supervisor.lastError().value_or(""));
}

QVariantList MenuRouter::settingsCategories() const {
  QVariantList categories;
  for (const SettingsCategoryInfo& info : ui::settingsCategories()) {
    categories.append(QVariantMap{{"name", qtText(info.name)},
                                  {"title", qtText(info.title)},
                                  {"subtitle", qtText(info.subtitle)},
                                  {"symbol", qtText(info.symbol)}});
  }
  return categories;
}

void MenuRouter::goBack() {
  if (const auto back = backDestination(route_, stores_.catalog.games())) setRoute(*back);
}

void MenuRouter::openSettings() {
  setRoute(Route::settings());
}

void MenuRouter::openSettingsCategory(const QString& name) {
  if (const auto category = settingsCategoryNamed(name.toStdString())) {
    setRoute(Route::settingsCategory(*category));
  }
}

void MenuRouter::selectGame(const QString& gameID) {
  const auto game = catalogGame(gameID.toStdString());
  if (!game || !gamesEnabled()) return;
  switch (game->launch) {
    case core::LaunchMode::solo:
      play(game->id, {});
      break;
    case core::LaunchMode::soloOrMultiplayer:
      setRoute(Route::modeChoice(game->id));
      break;
    case core::LaunchMode::multiplayerOnly:
      setRoute(Route::setup(game->id));
      break;
  }
}

void MenuRouter::chooseSolo() {
  if (route_.kind != Route::Kind::modeChoice || !gamesEnabled()) return;
  play(route_.gameID, {"solo"});
}

void MenuRouter::chooseMultiplayer() {
  if (route_.kind != Route::Kind::modeChoice || !gamesEnabled()) return;
  setRoute(Route::setup(route_.gameID));
}

void MenuRouter::stopGame() {
  core::requestEngineStop(stores_.supervisor);
}

void MenuRouter::quit() {
  emit quitRequested();
}

bool MenuRouter::showsNowPlaying() const {
  return stores_.supervisor.currentGame() && route_.kind != Route::Kind::settings &&
         route_.kind != Route::Kind::settingsCategory;
}

void MenuRouter::showSettingsOnScreen() {
  settings_.show(popoverShown_ && !showsNowPlaying() ? std::optional(route_) : std::nullopt);
}

void MenuRouter::announceScreen() {
  showSettingsOnScreen();
  emit screenChanged();
}

std::optional<core::Game> MenuRouter::catalogGame(const std::string& id) const {
  const auto& games = stores_.catalog.games();
  const auto found = std::ranges::find(games, id, &core::Game::id);
  if (found == games.end()) return std::nullopt;
  return *found;
}

void MenuRouter::play(const std::string& gameID, const std::vector<std::string>& arguments) {
  if (const auto game = catalogGame(gameID)) stores_.supervisor.play(*game, arguments);
}

void MenuRouter::currentGameChanged() {
  const auto& game = stores_.supervisor.currentGame();
  std::optional<std::string> id = game ? std::optional(game->id) : std::nullopt;
  if (id != currentGameID_) {
    currentGameID_ = std::move(id);
    route_ = Route::library();
    if (currentGameID_) {
      QMetaObject::invokeMethod(this, &MenuRouter::dismissRequested, Qt::QueuedConnection);
    }
  }
  announceScreen();
}

}  // namespace deskplay::ui
