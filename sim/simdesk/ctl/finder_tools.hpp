#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::simdesk::ctl {

// The killall stand-in: `killall Finder` quits simdesk's Finder, which the system then starts
// again, as on macOS. A name that matches nothing running gives macOS's message and status.
int runKillall(const std::vector<std::string>& arguments, protocol::Connection& connection,
               std::ostream& err);

// The open stand-in: `open -a Finder` starts Finder or brings it to the front; `open [-n]
// Some.app` starts the bundle's executable (a new instance with -n). Other applications and
// documents are not simulated and fail as macOS fails for what it cannot find.
int runOpen(const std::vector<std::string>& arguments, protocol::Connection& connection,
            std::ostream& err);

}  // namespace deskplay::simdesk::ctl
