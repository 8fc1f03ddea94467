#pragma once

namespace deskplay::simdesk::server {

// The whole simdesk program: options, the model on the offscreen platform, the socket, and
// the event loop until SIGTERM or SIGINT. Returns the exit status.
int runSimdesk(int argc, char** argv);

}  // namespace deskplay::simdesk::server
