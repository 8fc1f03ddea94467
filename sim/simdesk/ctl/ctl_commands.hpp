#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::simdesk::ctl {

// simdeskctl: one command (the arguments after the program name) against simdesk, writing
// its answer to `out` and failures to `err` (one line). Returns the exit status: 0 done,
// 1 failed (simdesk not there, a script error, a refusal), 2 bad usage.
int runCtl(const std::vector<std::string>& arguments, protocol::Connection& connection,
           std::istream& in, std::ostream& out, std::ostream& err);

std::string ctlUsage();

}  // namespace deskplay::simdesk::ctl
