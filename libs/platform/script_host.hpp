#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace deskplay::platform {

// What a script gave back, as its result descriptor reads.
struct ScriptValue {
  // The result coerced to text; nothing when it does not coerce (a list, a record).
  std::optional<std::string> stringValue;
  // The result coerced to a 32-bit integer; 0 when it does not coerce.
  std::int32_t int32Value = 0;
  // The descriptor's own textual description, for logs.
  std::string description;
};

// The error dictionary of a script that failed to run.
struct ScriptError {
  std::optional<std::string> message;  // the error message entry
  std::optional<int> number;           // the error number entry
  std::string description;             // the dictionary's textual description
};

// One script run: it did not compile, it failed while running, or it ran. A script that
// ran may have no result (its last statement gave none).
struct ScriptRun {
  enum class Outcome { compileFailed, runFailed, succeeded };

  Outcome outcome = Outcome::succeeded;
  std::optional<ScriptValue> result;  // only when succeeded
  ScriptError error;                  // only when compileFailed or runFailed

  static ScriptRun compileFailure(ScriptError error) {
    return {Outcome::compileFailed, std::nullopt, std::move(error)};
  }
  static ScriptRun runFailure(ScriptError error) {
    return {Outcome::runFailed, std::nullopt, std::move(error)};
  }
  static ScriptRun success(std::optional<ScriptValue> result = std::nullopt) {
    return {Outcome::succeeded, std::move(result), {}};
  }
};

// AppleScript compiled and run in process, addressed to Finder and System Events.
// Call from the thread that owns the host (a main thread); a run blocks until the target
// application has answered.
class ScriptHost {
 public:
  virtual ~ScriptHost() = default;

  virtual ScriptRun run(const std::string& source) = 0;
};

}  // namespace deskplay::platform
