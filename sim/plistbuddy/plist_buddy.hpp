#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace deskplay::plistbuddy {

// The whole program for the arguments after the program name; returns the exit status.
// Help goes to `output` with status 0; bad command-line use is one line on `errors` and
// status 1 (a run without any arguments also shows the help, as the macOS tool does).
int runPlistBuddy(const std::vector<std::string>& arguments, std::ostream& output,
                  std::ostream& errors);

}  // namespace deskplay::plistbuddy
