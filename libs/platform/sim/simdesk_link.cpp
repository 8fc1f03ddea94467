#include "platform/sim/simdesk_link.hpp"

#include <unistd.h>

#include "sim/simdesk/protocol/socket_path.hpp"

namespace deskplay::platform {

std::unique_ptr<simdesk::protocol::Connection> connectToSimdesk(std::string applicationName) {
  simdesk::protocol::ConnectionOptions options;
  options.socketPath = simdesk::protocol::socketPath();
  options.applicationName = std::move(applicationName);
  options.processId = static_cast<std::int32_t>(::getpid());
  return std::make_unique<simdesk::protocol::Connection>(std::move(options));
}

}  // namespace deskplay::platform
