#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QVariantMap>
#include <optional>
#include <string>
#include <vector>

#include "core/account/account_store.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/settings/server_config.hpp"
#include "ui/models/library_model.hpp"
#include "ui/models/multiplayer_setup_model.hpp"
#include "ui/models/route.hpp"
#include "ui/models/settings_model.hpp"

namespace deskplay::ui {

// The popover's content: which screen shows, the header above it, the way back, the
// supervisor's error below it, and every start and stop of a game made from the screens.
// While a game runs the now-playing screen replaces the library and the screens that start
// games; the settings stay within reach, so sounds can be turned off during a game. A game
// start (or end) sends the route back to the library, and a start asks for the popover to
// close on the main loop's next turn. Main thread only.
class MenuRouter final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString screen READ screen NOTIFY screenChanged)
  Q_PROPERTY(QString headerTitle READ headerTitle NOTIFY screenChanged)
  Q_PROPERTY(bool hasBack READ hasBack NOTIFY screenChanged)
  Q_PROPERTY(QVariantMap routeGame READ routeGame NOTIFY screenChanged)
  Q_PROPERTY(QVariantMap currentGame READ currentGame NOTIFY screenChanged)
  Q_PROPERTY(QString lastError READ lastError NOTIFY lastErrorChanged)
  Q_PROPERTY(bool gamesEnabled READ gamesEnabled NOTIFY gamesEnabledChanged)
  Q_PROPERTY(QVariantList settingsCategories READ settingsCategories CONSTANT)
  Q_PROPERTY(QString settingsCategory READ settingsCategory NOTIFY screenChanged)
  Q_PROPERTY(QObject* library READ library CONSTANT)
  Q_PROPERTY(QObject* setup READ setup CONSTANT)
  Q_PROPERTY(QObject* settings READ settings CONSTANT)

 public:
  // The stores the screens show and act on; all must outlive the router.
  struct Stores {
    core::KeyTap& tap;
    core::GameSupervisor& supervisor;
    core::CatalogStore& catalog;
    core::AccountStore& account;
    core::ServerConfig& server;
    core::LoginItem& loginItem;
    core::SoundSetting& sounds;
    core::PermissionsModel& permissions;
    core::HotkeyStore& hotkeys;
    core::DataFolder& dataFolder;
    // The open panel of the data folder's "Choose".
    platform::Workspace& workspace;
  };

  explicit MenuRouter(Stores stores, UniformDraw draw = secureUniform, QObject* parent = nullptr);

  const Route& route() const { return route_; }
  void setRoute(Route route);

  // The route's screen: "library", "modeChoice", "setup", "settings" or "settingsCategory";
  // while a game runs, "nowPlaying" instead of the first three.
  QString screen() const;
  QString headerTitle() const;
  bool hasBack() const { return backDestination(route_, stores_.catalog.games()).has_value(); }
  // The presentation of the route's game while a mode choice or setup shows one of the
  // catalog; empty otherwise.
  QVariantMap routeGame() const;
  // The presentation of the running game; empty when none runs.
  QVariantMap currentGame() const;
  QString lastError() const;
  // Games may start: keyboard control is granted.
  bool gamesEnabled() const { return stores_.tap.trusted(); }
  // One object per settings category in menu order: "name", "title", "subtitle", "symbol".
  QVariantList settingsCategories() const;
  // The identifier of the route's settings category ("account", …); empty on other routes.
  QString settingsCategory() const;
  LibraryModel* library() { return &library_; }
  MultiplayerSetupModel* setup() { return &setup_; }
  SettingsModel* settings() { return &settings_; }

  // The popover opened or closed: the settings pane on screen comes or goes with it.
  void setPopoverShown(bool shown);

  Q_INVOKABLE void goBack();
  Q_INVOKABLE void openSettings();
  Q_INVOKABLE void openSettingsCategory(const QString& name);
  // A game card was chosen: a solo game starts, the others go to the mode choice or, online
  // only, straight to the setup.
  Q_INVOKABLE void selectGame(const QString& gameID);
  // The mode choice's rows, for the route's game.
  Q_INVOKABLE void chooseSolo();
  Q_INVOKABLE void chooseMultiplayer();
  // The now-playing screen's stop.
  Q_INVOKABLE void stopGame();
  Q_INVOKABLE void quit();

 signals:
  void screenChanged();
  void lastErrorChanged();
  void gamesEnabledChanged();
  // A game became current; sent on the main loop's turn after the start.
  void dismissRequested();
  void quitRequested();

 private:
  std::optional<core::Game> catalogGame(const std::string& id) const;
  bool showsNowPlaying() const;
  // Tells the settings which route is on screen, if any.
  void showSettingsOnScreen();
  void announceScreen();
  void play(const std::string& gameID, const std::vector<std::string>& arguments);
  void currentGameChanged();

  Stores stores_;
  LibraryModel library_;
  MultiplayerSetupModel setup_;
  SettingsModel settings_;
  Route route_;
  bool popoverShown_ = true;
  std::optional<std::string> currentGameID_;
};

}  // namespace deskplay::ui
