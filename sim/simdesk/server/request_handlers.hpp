#pragma once

#include <functional>
#include <string_view>

#include "platform/script_host.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/server/request_dispatcher.hpp"

namespace deskplay::simdesk {
class DesktopRenderer;
}

namespace deskplay::simdesk::server {

// Runs a script against the desktop (compile and run).
using ScriptRunner = std::function<platform::ScriptRun(std::string_view source)>;

// state, screenshot, screens, display options, Finder's life, privacy, applications,
// workspace notices and text measurement.
void addDesktopRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                        DesktopRenderer& renderer);
// The ax.* requests.
void addAccessibilityRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop);
// The window.* requests and the window list; clients reach only their own windows.
void addWindowRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop);
// script.run.
void addScriptRequests(RequestDispatcher& dispatcher, ScriptRunner runner);

}  // namespace deskplay::simdesk::server
