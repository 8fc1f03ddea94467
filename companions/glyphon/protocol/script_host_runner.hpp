#pragma once

#include <string>

#include "platform/script_host.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// Scripts run on the platform's script host. A script that does not compile fails with
// "Failed to compile AppleScript"; one that fails while running fails with its error message,
// else its error number, else the error's description, and that text is also printed as a
// flushed "FINDER_SCRIPT_ERROR:" line, its line breaks made spaces so that it stays one line.
class ScriptHostRunner final : public AppleScriptRunner {
 public:
  ScriptHostRunner(platform::ScriptHost& host, OutputLines& output)
      : host_(host), output_(output) {}

  DetailedScriptRun runDetailed(const std::string& source) override;

 private:
  platform::ScriptHost& host_;
  OutputLines& output_;
};

}  // namespace deskplay::glyphon
