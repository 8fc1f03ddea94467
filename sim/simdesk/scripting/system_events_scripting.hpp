#pragma once

#include <optional>

#include "applescript/scriptable.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/system_events.hpp"

namespace deskplay::simdesk {

// System Events' scripting over the model: `dock preferences` (autohide, autohide menu bar),
// `current desktop` (picture) and processes (name, visible, frontmost, bundle identifier).
// System Events always runs.
class SystemEventsScripting final : public applescript::ScriptableApplication {
 public:
  SystemEventsScripting(SystemEvents& systemEvents, Applications& applications)
      : systemEvents_(systemEvents), applications_(applications) {}

  Result<applescript::Value, applescript::ScriptFailure> get(
      const applescript::ObjectSpecifier& object) override;
  Result<applescript::Value, applescript::ScriptFailure> set(
      const applescript::ObjectSpecifier& object, const applescript::Value& value) override;
  Result<std::optional<applescript::Value>, applescript::ScriptFailure> perform(
      applescript::Command command, const applescript::ObjectSpecifier* directObject) override;

 private:
  struct Target {
    enum class Kind { application, dockPreferences, desktop, process };
    Kind kind = Kind::application;
    const Application* process = nullptr;
  };

  Result<Target, applescript::ScriptFailure> resolve(const applescript::ObjectSpecifier& object,
                                                     std::size_t steps);
  Result<applescript::Value, applescript::ScriptFailure> processes(
      const applescript::ObjectSpecifier& object);

  SystemEvents& systemEvents_;
  Applications& applications_;
};

}  // namespace deskplay::simdesk
