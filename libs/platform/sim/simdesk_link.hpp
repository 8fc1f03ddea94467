#pragma once

#include <memory>
#include <string>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// This process's connection to simdesk, shared by all of its sim adapters: at the socket the
// environment names (SIMDESK_SOCKET, else XDG_RUNTIME_DIR, else /tmp), saying hello with
// `applicationName` (which keys its privacy permissions and owns its windows) and this
// process's id. Nothing is connected until the first call. The connection must outlive the
// adapters given it and the windows they made.
std::unique_ptr<simdesk::protocol::Connection> connectToSimdesk(std::string applicationName);

}  // namespace deskplay::platform
