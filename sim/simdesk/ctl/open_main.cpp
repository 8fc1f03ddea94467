#include <unistd.h>

#include <iostream>

#include "sim/simdesk/ctl/finder_tools.hpp"
#include "sim/simdesk/protocol/socket_path.hpp"

int main(int argc, char** argv) {
  using namespace deskplay::simdesk;
  protocol::Connection connection(
      {protocol::socketPath(), "open", static_cast<std::int32_t>(::getpid())});
  return ctl::runOpen(std::vector<std::string>(argv + 1, argv + argc), connection, std::cerr);
}
