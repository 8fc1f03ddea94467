#include <signal.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "burrowd.hpp"

int main(int argc, char** argv) {
  // A client that goes away shows up as a failed write, which ends the program cleanly.
  ::signal(SIGPIPE, SIG_IGN);
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  return deskplay::burrowd::runBurrowd(arguments, STDIN_FILENO, STDOUT_FILENO);
}
