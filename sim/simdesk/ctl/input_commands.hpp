#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::simdesk::ctl {

// simdeskctl's input commands (the arguments after the command word). The injected events
// are the person's own; each command returns once simdesk has taken them all the way through
// its taps to their targets. Exit statuses as runCtl's.
using InputCommand = int (*)(const std::vector<std::string>& arguments,
                             protocol::Connection& connection, std::ostream& out,
                             std::ostream& err);
int keyCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
               std::ostream& out, std::ostream& err);
int typeCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream& out, std::ostream& err);
int clickCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                 std::ostream& out, std::ostream& err);
int dragCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream& out, std::ostream& err);
int moveCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                std::ostream& out, std::ostream& err);
// The delivery log, one JSON object a line, oldest first.
int eventsCommand(const std::vector<std::string>& arguments, protocol::Connection& connection,
                  std::ostream& out, std::ostream& err);

}  // namespace deskplay::simdesk::ctl
