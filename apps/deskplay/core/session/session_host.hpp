#pragma once

#include <QObject>

#include "core/basics/arcade_log.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/input/input_socket.hpp"

namespace deskplay::core {

// The application's start-up and quit around the session stores, and the stop action shared
// by the stop hotkey, the menu and quit. Main thread only.
class SessionHost final : public QObject {
  Q_OBJECT

 public:
  // The stores must outlive the host.
  SessionHost(GameSupervisor& supervisor, CatalogStore& catalog, InputSocket& inputSocket,
              ArcadeLog log, QObject* parent = nullptr);

  // Start-up, in order; no step's failure stops the later ones. Before anything can start a
  // game, a desktop left stashed by an earlier run is put back.
  void start();

  // When an engine runs: shows "restoring" and sends it the terminate request; the
  // supervisor restores the desktop when the engine ends. False when no engine runs.
  bool stop();

  // The stop action, once, without waiting: quitReady() follows when no engine runs any more
  // (at once when none ran), so the desktop is back before the application exits.
  void quit();
  bool isQuitting() const { return quitting_; }

 signals:
  void quitReady();

 private:
  void finishQuitWhenIdle();

  GameSupervisor& supervisor_;
  CatalogStore& catalog_;
  InputSocket& inputSocket_;
  ArcadeLog log_;
  bool quitting_ = false;
  bool quitReadySent_ = false;
};

}  // namespace deskplay::core
