#include "core/session/stop_request.hpp"

namespace deskplay::core {

bool requestEngineStop(GameSupervisor& supervisor) {
  QProcess* engine = supervisor.process();
  if (engine == nullptr) return false;
  if (GameSessionFeedback* feedback = supervisor.feedback()) {
    feedback->showNative(session_phase::restoring);
  }
  engine->terminate();
  return true;
}

}  // namespace deskplay::core
