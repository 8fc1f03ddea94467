#pragma once

#include <chrono>
#include <filesystem>

#include "core/basics/arcade_log.hpp"

namespace deskplay::core {

// How long ending an engine waits after each signal.
struct EngineStopGrace {
  // For the terminate request: the engine puts the desktop back on its way out.
  std::chrono::milliseconds afterTerminate{5000};
  std::chrono::milliseconds afterKill{3000};
};

// Start-up, before the desktop left stashed is put back: when `recordFile` names an engine
// that an earlier run of the application started and that still runs (its process still has
// the recorded start time, in the same boot) while that run does not, ends it with its
// process group. The engine gets the terminate request first, as when the user stops a game,
// so that it can put the desktop back with its companions; what is left of its group once it
// has ended gets it next; what still runs when the grace is over is killed. Only the group is
// signalled: what its members started in groups of their own (the engine's tile keeper) lives
// on. The record is removed once nothing of that group runs, and also when it names no such
// engine any more or cannot be read; the record of a run that still runs stays. Everything
// done is logged. False only while that engine still runs: the desktop must then stay
// stashed.
bool endEngineLeftBehind(const std::filesystem::path& recordFile, const ArcadeLog& log,
                         EngineStopGrace grace = {});

}  // namespace deskplay::core
