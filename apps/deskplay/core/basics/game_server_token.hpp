#pragma once

#include <filesystem>
#include <optional>
#include <string>

namespace deskplay::core {

// The room-server token kept in `file`: its UTF-8 text without surrounding white space and
// line breaks; nothing when the file cannot be read, is not UTF-8, or holds only white space.
// Only a regular file of at most 1 MiB is read, so whatever sits at that path cannot stall
// or flood the caller.
std::optional<std::string> readGameServerToken(const std::filesystem::path& file);

}  // namespace deskplay::core
