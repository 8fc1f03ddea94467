#include "platform/sim/sim_script_host.hpp"

#include <filesystem>

#include "applescript/descriptor.hpp"
#include "applescript/script.hpp"
#include "applescript/scriptable.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/protocol/wire_types.hpp"

namespace deskplay::platform {

namespace {

// An application that is not running: every event fails with -600.
class AbsentApplication final : public applescript::ScriptableApplication {
 public:
  Result<applescript::Value, applescript::ScriptFailure> get(
      const applescript::ObjectSpecifier&) override {
    return applescript::applicationNotRunning();
  }
  Result<applescript::Value, applescript::ScriptFailure> set(const applescript::ObjectSpecifier&,
                                                             const applescript::Value&) override {
    return applescript::applicationNotRunning();
  }
  Result<std::optional<applescript::Value>, applescript::ScriptFailure> perform(
      applescript::Command, const applescript::ObjectSpecifier*) override {
    return applescript::applicationNotRunning();
  }
};

// The system as a script sees it when simdesk is not there: the applications exist but none
// runs; files are the real ones.
class NothingRunning final : public applescript::ScriptEnvironment {
 public:
  applescript::ScriptableApplication* application(std::string_view) override { return &absent_; }
  bool fileExists(std::string_view posixPath) override {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::path(posixPath), error);
  }

 private:
  AbsentApplication absent_;
};

}  // namespace

ScriptRun SimScriptHost::run(const std::string& source) {
  // simdesk compiles and runs the script while it is compiled here; a script that does not
  // compile fails in simdesk as here, without effect.
  auto sent = connection_.send(simdesk::protocol::requests::scriptRun, {{"source", source}},
                               simdesk::protocol::Effect::mayChange);
  auto compiled = applescript::Script::compile(source);
  auto line = sent.ok() ? connection_.receive(sent.value()) : Result<std::string>(sent.error());
  if (!compiled.ok()) {
    return ScriptRun::compileFailure(applescript::errorDictionary(compiled.error()));
  }
  if (line.ok()) {
    const auto reply = nlohmann::json::parse(line.value(), nullptr, false);
    if (auto run = simdesk::protocol::decodeScriptRun(reply)) return std::move(*run);
    // An answer that cannot be read is the handler failing, as a broken reply event is.
    return ScriptRun::runFailure(applescript::errorDictionary(
        {applescript::errors::eventFailed, "AppleEvent handler failed.", std::nullopt}));
  }
  NothingRunning nothing;
  return applescript::run(compiled.value(), nothing);
}

}  // namespace deskplay::platform
