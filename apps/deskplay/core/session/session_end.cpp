#include "core/session/session_end.hpp"

namespace deskplay::core {

bool endedCleanly(const SessionEnd& end) {
  return end.exit.kind == EngineExit::Kind::exited && end.exit.code == 0 && end.desktopRestored &&
         !end.recordFailed && (!end.recordPhase || *end.recordPhase == kChildCompletePhase);
}

}  // namespace deskplay::core
