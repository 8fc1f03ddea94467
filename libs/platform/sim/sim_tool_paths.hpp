#pragma once

#include "platform/tool_paths.hpp"

namespace deskplay::platform {

// The stand-ins for PlistBuddy, killall and open that this build made (they talk to
// simdesk), with the system's zsh.
ToolPaths simToolPaths();

}  // namespace deskplay::platform
