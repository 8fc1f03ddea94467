#pragma once

#include <QObject>

#include "core/basics/arcade_log.hpp"
#include "core/catalog/catalog_store.hpp"
#include "core/hotkey/hotkey_store.hpp"
#include "core/input/input_socket.hpp"
#include "core/keys/key_tap.hpp"
#include "core/session/game_supervisor.hpp"
#include "core/settings/data_folder.hpp"
#include "core/settings/permissions_model.hpp"

namespace deskplay::core {

// The application's start-up and quit around the session stores, and the stop action shared
// by the stop hotkey, the menu and quit. The key tap captures keys exactly while the
// supervisor's engine owns them. Main thread only.
class SessionHost final : public QObject {
  Q_OBJECT

 public:
  // The stores the host starts and stops; they must outlive it.
  struct Stores {
    GameSupervisor& supervisor;
    CatalogStore& catalog;
    InputSocket& inputSocket;
    KeyTap& keyTap;
    HotkeyStore& hotkeys;
    PermissionsModel& permissions;
    DataFolder& dataFolder;
  };

  SessionHost(Stores stores, ArcadeLog log, QObject* parent = nullptr);

  // Start-up, in order; no step's failure stops the later ones. The permissions are read
  // first. Before anything can start a game, an engine an earlier run left running is ended
  // and then a desktop left stashed by an earlier run is put back (it stays stashed only
  // while such an engine cannot be ended), followed by the look it had before that game;
  // then saved work moves from the old data folder.
  // The key tap starts last, with its callbacks in place and the stored stop hotkey: captured
  // keys go to the input socket, the stop hotkey is the stop action, and recordings go to the
  // hotkey store. From then on, Accessibility granted while the application runs installs
  // the tap.
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
  void startKeyTap();
  void accessibilityChanged();

  GameSupervisor& supervisor_;
  CatalogStore& catalog_;
  InputSocket& inputSocket_;
  KeyTap& keyTap_;
  HotkeyStore& hotkeys_;
  PermissionsModel& permissions_;
  DataFolder& dataFolder_;
  ArcadeLog log_;
  bool quitting_ = false;
  bool quitReadySent_ = false;
};

}  // namespace deskplay::core
