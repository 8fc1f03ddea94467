#pragma once

#include <filesystem>

#include "common/result.hpp"

namespace deskplay::simdesk::server {

// Makes `path` free for a new simdesk: an error when a simdesk answers there (or the path is
// something other than a socket, which is never removed); a socket nobody listens on any
// more, left by a simdesk that died, is removed.
Status claimSocketPath(const std::filesystem::path& path);

}  // namespace deskplay::simdesk::server
