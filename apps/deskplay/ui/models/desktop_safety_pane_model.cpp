#include "ui/models/desktop_safety_pane_model.hpp"

namespace deskplay::ui {

DesktopSafetyPaneModel::DesktopSafetyPaneModel(core::GameSupervisor& supervisor, QObject* parent)
    : QObject(parent), supervisor_(supervisor) {}

void DesktopSafetyPaneModel::revealBackupFolder() {
  supervisor_.revealStash();
}

void DesktopSafetyPaneModel::restoreNow() {
  supervisor_.restoreDesktopNow();
}

}  // namespace deskplay::ui
