#include "ui/models/controls_pane_model.hpp"

namespace deskplay::ui {

ControlsPaneModel::ControlsPaneModel(core::HotkeyStore& hotkeys, QObject* parent)
    : QObject(parent), hotkeys_(hotkeys) {
  connect(&hotkeys_, &core::HotkeyStore::hotkeyChanged, this, &ControlsPaneModel::changed);
  connect(&hotkeys_, &core::HotkeyStore::recordingChanged, this, &ControlsPaneModel::changed);
}

QString ControlsPaneModel::subtitle() const {
  return recording() ? QStringLiteral("Press a key combination (⎋ to cancel)…")
                     : QStringLiteral("Quits the running game and restores your desktop");
}

QString ControlsPaneModel::hotkeyTitle() const {
  return recording() ? QStringLiteral("Cancel")
                     : QString::fromStdString(hotkeys_.hotkey().display());
}

QString ControlsPaneModel::resetTitle() const {
  return QStringLiteral("Reset to ") + QString::fromStdString(core::defaultStopHotkey().display());
}

void ControlsPaneModel::toggleRecording() {
  if (recording()) {
    hotkeys_.cancelRecording();
  } else {
    hotkeys_.startRecording();
  }
}

void ControlsPaneModel::resetHotkey() {
  hotkeys_.set(core::defaultStopHotkey());
}

}  // namespace deskplay::ui
