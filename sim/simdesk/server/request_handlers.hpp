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
// The number of the request's "window", when it is one of the client's own windows.
Result<std::uint32_t> ownWindow(SimulatedDesktop& desktop, const Client& client,
                                const RequestFields& request);
// script.run.
void addScriptRequests(RequestDispatcher& dispatcher, ScriptRunner runner);

// Pushes {"event": name, …fields} to one connection, when it subscribed to `name`.
using ClientPush =
    std::function<void(std::uint64_t connection, std::string_view name, nlohmann::json fields)>;
// Pushes {"event": name, …fields} to every connection of one process that subscribed to
// `name`; or to every subscribed connection of every process.
using ProcessPush =
    std::function<void(platform::ProcessId pid, std::string_view name, nlohmann::json fields)>;
using BroadcastPush = std::function<void(std::string_view name, nlohmann::json fields)>;
// Content windows (shared pixels, alpha, title, key, their accessibility), their input and
// key changes pushed to their owners, and the windows list of simdeskctl.
void addContentWindowRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                              ProcessPush push);
// The status items, their presses and removals pushed to their owners.
void addStatusItemRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop,
                           ProcessPush push);
// Distributed notifications and the open panel.
void addSessionRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, ProcessPush push,
                        BroadcastPush broadcast);

// The input event requests: injected and posted events, the pointer, event taps and global
// monitors, whose events go to the connection that made them.
void addEventRequests(RequestDispatcher& dispatcher, SimulatedDesktop& desktop, ClientPush push);

}  // namespace deskplay::simdesk::server
