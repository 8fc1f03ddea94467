#pragma once

#include <optional>
#include <string>

#include "platform/script_host.hpp"

namespace deskplay::glyphon {

// A script run as commands see it: the result, or the error text that was also reported on
// standard output as a FINDER_SCRIPT_ERROR line.
struct DetailedScriptRun {
  std::optional<platform::ScriptValue> result;
  std::optional<std::string> error;
};

// Runs AppleScript for a command and reports every failure.
class AppleScriptRunner {
 public:
  virtual ~AppleScriptRunner() = default;

  virtual DetailedScriptRun runDetailed(const std::string& source) = 0;
};

}  // namespace deskplay::glyphon
