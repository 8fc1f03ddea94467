#pragma once

#include <cstdint>
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

// Pushes {"event": name, …fields} to one connection, when it subscribed to `name`.
using ClientPush =
    std::function<void(std::uint64_t connection, std::string_view name, nlohmann::json fields)>;
// The input event requests: injected and posted events, the pointer, event taps and global
// monitors, whose events go to the connection that made them.
void addEventRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, ClientPush push);

}  // namespace deskplay::simdesk::server
