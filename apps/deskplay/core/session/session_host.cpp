#include "core/session/session_host.hpp"

#include <utility>

namespace deskplay::core {

SessionHost::SessionHost(GameSupervisor& supervisor, CatalogStore& catalog,
                         InputSocket& inputSocket, ArcadeLog log, QObject* parent)
    : QObject(parent),
      supervisor_(supervisor),
      catalog_(catalog),
      inputSocket_(inputSocket),
      log_(std::move(log)) {
  connect(&supervisor_, &GameSupervisor::stateChanged, this, &SessionHost::finishQuitWhenIdle);
}

void SessionHost::start() {
  // The permissions refresh comes first once the permissions model exists.
  if (!supervisor_.stash().restore()) {
    log_.write("start-up: the desktop left stashed could not be fully restored");
  }
  // The data folder's migration belongs here, between the restore and the catalog.
  catalog_.load();
  inputSocket_.start();
  if (!inputSocket_.hasPort()) log_.write("start-up: the input socket could not listen");
  // The key tap's callbacks, its stop hotkey and its start follow the input socket; until
  // the tap exists, the supervisor's keyCaptureChanged and stop() are its hand-over points.
}

bool SessionHost::stop() {
  QProcess* engine = supervisor_.process();
  if (engine == nullptr) return false;
  if (GameSessionFeedback* feedback = supervisor_.feedback()) {
    feedback->showNative(session_phase::restoring);
  }
  engine->terminate();
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
