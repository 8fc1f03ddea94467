#pragma once

#include <string>
#include <vector>

namespace deskplay::keyhark {

// The whole program for its arguments (without the program name): the permission check
// returns its exit status; keyboard and mouse mode run the event loop until the process is
// killed. Needs the QCoreApplication to exist.
int runKeyhark(const std::vector<std::string>& arguments);

}  // namespace deskplay::keyhark
