#pragma once

#include <string>
#include <vector>

namespace deskplay::burrowd {

// The whole program: start-up checks, the ready reply, then one reply per request line
// until the input ends. Returns the exit status.
int runBurrowd(const std::vector<std::string>& arguments, int input, int output);

}  // namespace deskplay::burrowd
