#pragma once

#include <QObject>
#include <QString>

#include "core/hotkey/hotkey_store.hpp"

namespace deskplay::ui {

// The Controls settings pane: the stop hotkey as shown, its recording, and the way back to
// the default. Main thread only.
class ControlsPaneModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool recording READ recording NOTIFY changed)
  Q_PROPERTY(QString subtitle READ subtitle NOTIFY changed)
  // The hotkey's button: the hotkey, or "Cancel" while recording.
  Q_PROPERTY(QString hotkeyTitle READ hotkeyTitle NOTIFY changed)
  Q_PROPERTY(QString resetTitle READ resetTitle CONSTANT)

 public:
  explicit ControlsPaneModel(core::HotkeyStore& hotkeys, QObject* parent = nullptr);

  bool recording() const { return hotkeys_.recording(); }
  QString subtitle() const;
  QString hotkeyTitle() const;
  QString resetTitle() const;

  // The hotkey's button: starts a recording, or cancels the one under way.
  Q_INVOKABLE void toggleRecording();
  Q_INVOKABLE void resetHotkey();

 signals:
  void changed();

 private:
  core::HotkeyStore& hotkeys_;
};

}  // namespace deskplay::ui
