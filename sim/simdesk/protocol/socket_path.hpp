#pragma once

#include <sys/types.h>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace deskplay::simdesk::protocol {

// Reads one environment variable; nothing when it is unset.
using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;

// Where simdesk listens: $SIMDESK_SOCKET, else $XDG_RUNTIME_DIR/simdesk.sock, else
// /tmp/simdesk-<uid>.sock. Empty variables count as unset.
std::filesystem::path socketPath(const EnvironmentLookup& environment, uid_t user);

// The same from this process's environment and user.
std::filesystem::path socketPath();

}  // namespace deskplay::simdesk::protocol
