#pragma once

#include "core/session/game_supervisor.hpp"

namespace deskplay::core {

// Stopping a game, as the stop hotkey, the now-playing screen and quit do it: when an engine
// runs, "restoring" shows in the session's status window and the engine gets the terminate
// request; the supervisor puts the desktop back when the engine ends. False when no engine
// runs.
bool requestEngineStop(GameSupervisor& supervisor);

}  // namespace deskplay::core
