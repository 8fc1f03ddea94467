#pragma once

#include <filesystem>
#include <string_view>

#include "common/result.hpp"

namespace deskplay {

// Opens `file` (creating it when missing), appends `bytes` at its end and closes it again, so
// that a log keeps no descriptor open between lines and concurrent writers never overwrite
// each other. Logs live in shared folders such as /tmp, where anyone may plant a name first:
// a symbolic link, a FIFO or a device in the log's place is refused rather than written
// through, and the open never waits for a reader.
Status appendToFile(const std::filesystem::path& file, std::string_view bytes);

}  // namespace deskplay
