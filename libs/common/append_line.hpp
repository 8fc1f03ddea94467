#pragma once

#include <filesystem>
#include <string_view>

#include "common/result.hpp"

namespace deskplay {

// Opens `file` (creating it when missing), appends `bytes` at its end and closes it again, so
// that a log keeps no descriptor open between lines and concurrent writers never overwrite
// each other.
Status appendToFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace deskplay
