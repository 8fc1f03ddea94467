#pragma once

#include <optional>
#include <string>

namespace deskplay::core {

// How the engine process ended.
struct EngineExit {
  enum class Kind { exited, signalled };
  Kind kind = Kind::exited;
  // The exit status, or the signal number.
  int code = 0;
};

// The phase an engine records right before its clean exit.
inline constexpr const char* kChildCompletePhase = "child-complete";

// What the termination handler found when the engine ended.
struct SessionEnd {
  EngineExit exit;
  bool desktopRestored = false;
  // Reading or showing the status record failed.
  bool recordFailed = false;
  // The phase of the status record; nothing when the engine left none.
  std::optional<std::string> recordPhase;
};

// Clean only when everything held: a normal exit with status 0, the desktop back, the
// record readable and either absent or at "child-complete".
bool endedCleanly(const SessionEnd& end);

}  // namespace deskplay::core
