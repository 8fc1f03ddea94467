#include "core/session/session_host.hpp"

#include <utility>

#include "core/session/stop_request.hpp"

namespace deskplay::core {

SessionHost::SessionHost(Stores stores, ArcadeLog log, QObject* parent)
    : QObject(parent),
      supervisor_(stores.supervisor),
      catalog_(stores.catalog),
      inputSocket_(stores.inputSocket),
      keyTap_(stores.keyTap),
      hotkeys_(stores.hotkeys),
      permissions_(stores.permissions),
      dataFolder_(stores.dataFolder),
      log_(std::move(log)) {
  connect(&supervisor_, &GameSupervisor::stateChanged, this, &SessionHost::finishQuitWhenIdle);
  connect(&supervisor_, &GameSupervisor::keyCaptureChanged, &keyTap_, &KeyTap::setCapturing);
}

void SessionHost::start() {
  permissions_.refresh();
  // An engine left running by an earlier run would go on drawing on the desktop being put
  // back.
  if (!supervisor_.endEngineLeftBehind()) {
    log_.write("start-up: the desktop left stashed stays stashed");
  } else {
    const bool restored = supervisor_.stash().restore();
    if (!restored) log_.write("start-up: the desktop left stashed could not be fully restored");
    // The files first: the icons' places are put back on the items that are back.
    supervisor_.putBackLeftoverAppearance(restored);
  }
  dataFolder_.migrateLegacyIfNeeded();
  catalog_.load();
  inputSocket_.start();
  if (!inputSocket_.hasPort()) log_.write("start-up: the input socket could not listen");
  startKeyTap();
}

void SessionHost::startKeyTap() {
  keyTap_.setOnEvent([this](int keyCode, const std::string& characters) {
    inputSocket_.send(keyCode, QString::fromStdString(characters));
  });
  keyTap_.setOnStopHotkey([this] { stop(); });
  keyTap_.setOnHotkeyRecorded(
      [this](const std::optional<Hotkey>& recorded) { hotkeys_.finishRecording(recorded); });
  keyTap_.setStopHotkey(hotkeys_.hotkey());
  keyTap_.start();
  if (!keyTap_.installed()) {
    log_.write("start-up: no keyboard access; the key tap is not installed");
  }
  connect(&permissions_, &PermissionsModel::accessibilityChanged, this,
          &SessionHost::accessibilityChanged, Qt::UniqueConnection);
}

void SessionHost::accessibilityChanged() {
  // Accessibility takes effect at once, so a grant while the application runs installs the
  // tap now. Input Monitoring alone waits for the relaunch the settings offer.
  if (!permissions_.accessibility() || keyTap_.installed()) return;
  keyTap_.start();
  log_.write(keyTap_.installed() ? "perms: accessibility granted; the key tap is installed"
                                 : "perms: accessibility granted; the key tap still cannot be "
                                   "installed");
}

bool SessionHost::stop() {
  if (!requestEngineStop(supervisor_)) return false;
  log_.write("stop: terminate request sent to the engine");
  return true;
}

void SessionHost::quit() {
  if (quitting_) return;
  quitting_ = true;
  stop();
  finishQuitWhenIdle();
}

void SessionHost::finishQuitWhenIdle() {
  if (!quitting_ || quitReadySent_ || supervisor_.process() != nullptr) return;
  quitReadySent_ = true;
  QMetaObject::invokeMethod(this, &SessionHost::quitReady, Qt::QueuedConnection);
}

}  // namespace deskplay::core
