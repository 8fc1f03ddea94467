#include <unistd.h>

#include <iostream>

#include "sim/simdesk/ctl/ctl_commands.hpp"
#include "sim/simdesk/protocol/socket_path.hpp"

int main(int argc, char** argv) {
  using namespace deskplay::simdesk;
  protocol::Connection connection(
      {protocol::socketPath(), "simdeskctl", static_cast<std::int32_t>(::getpid())});
  return ctl::runCtl(std::vector<std::string>(argv + 1, argv + argc), connection, std::cin,
                     std::cout, std::cerr);
}
