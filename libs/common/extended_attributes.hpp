#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay {

// Extended attributes by their full platform name (on Linux with the "user." prefix),
// following symbolic links. Messages carry the platform's errno number and text.

// The whole value; nothing when the file has no attribute of that name.
Result<std::optional<std::string>> readAttribute(const std::filesystem::path& file,
                                                 std::string_view name);
Result<std::optional<std::string>> readAttribute(int fd, std::string_view name);
// Creates or replaces the value.
Status writeAttribute(const std::filesystem::path& file, std::string_view name,
                      std::string_view value);
Status writeAttribute(int fd, std::string_view name, std::string_view value);
// Removing an attribute that is not there succeeds.
Status removeAttribute(const std::filesystem::path& file, std::string_view name);

}  // namespace deskplay
