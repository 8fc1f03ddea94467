#pragma once

#include <string_view>

#include "applescript/scriptable.hpp"
#include "platform/script_host.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/scripting/finder_scripting.hpp"
#include "sim/simdesk/scripting/system_events_scripting.hpp"

namespace deskplay::simdesk {

// AppleScript run against the simulated desktop: Finder and System Events as scripts see
// them, and the real file system for aliases. Main thread only, like the model. Cheap to
// make; keeping one saves nothing but a few references.
class DesktopScripting final : public applescript::ScriptEnvironment {
 public:
  explicit DesktopScripting(SimulatedDesktop& desktop);

  // Compiles and runs `source`: a compile error, a run-time error with AppleScript's message
  // and number, or the result.
  platform::ScriptRun run(std::string_view source);

  applescript::ScriptableApplication* application(std::string_view name) override;
  bool fileExists(std::string_view posixPath) override;

 private:
  FinderScripting finder_;
  SystemEventsScripting systemEvents_;
};

// One script run against the simulated desktop (what the server does for a client's script).
platform::ScriptRun runScript(std::string_view source, SimulatedDesktop& desktop);

}  // namespace deskplay::simdesk
