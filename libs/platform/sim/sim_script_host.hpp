#pragma once

#include "platform/script_host.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// AppleScript as macOS runs it in process: compiled here (a script that does not compile
// fails without simdesk), and run by simdesk against its Finder and System Events (sent
// first, so that simdesk works while the script compiles here). Without
// simdesk the script runs here against a system where no application runs, so a `tell`
// fails with -600 "Application isn't running." as it would with Finder gone.
class SimScriptHost final : public ScriptHost {
 public:
  explicit SimScriptHost(simdesk::protocol::Connection& connection) : connection_(connection) {}

  ScriptRun run(const std::string& source) override;

 private:
  simdesk::protocol::Connection& connection_;
};

}  // namespace deskplay::platform
