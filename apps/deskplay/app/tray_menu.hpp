#pragma once

#include <QMenu>
#include <QObject>
#include <QSystemTrayIcon>

#include "core/catalog/catalog_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/session/session_host.hpp"

namespace deskplay::app {

// The tray icon and its menu: the games to start, "Stop & restore" while one runs, the
// desktop restore after an unclean end, the stash, the last error, and Quit. It follows the
// stores and rebuilds itself when they change. Main thread.
class TrayMenu final : public QObject {
  Q_OBJECT

 public:
  TrayMenu(core::SessionHost& host, core::GameSupervisor& supervisor, core::CatalogStore& catalog,
           QObject* parent = nullptr);

  void show();

 signals:
  void quitRequested();

 private:
  void rebuild();
  void addGames();

  core::SessionHost& host_;
  core::GameSupervisor& supervisor_;
  core::CatalogStore& catalog_;
  QMenu menu_;
  QSystemTrayIcon icon_;
};

}  // namespace deskplay::app
