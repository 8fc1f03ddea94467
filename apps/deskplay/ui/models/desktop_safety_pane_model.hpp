#pragma once

#include <QObject>

#include "core/session/game_supervisor.hpp"

namespace deskplay::ui {

// The Desktop Safety settings pane: the stash's folder shown in Finder, and the desktop put
// back by hand after a game that did not end cleanly. Main thread only.
class DesktopSafetyPaneModel final : public QObject {
  Q_OBJECT

 public:
  explicit DesktopSafetyPaneModel(core::GameSupervisor& supervisor, QObject* parent = nullptr);

  Q_INVOKABLE void revealBackupFolder();
  // Does nothing while a game runs: its files are in use until it ends.
  Q_INVOKABLE void restoreNow();

 private:
  core::GameSupervisor& supervisor_;
};

}  // namespace deskplay::ui
