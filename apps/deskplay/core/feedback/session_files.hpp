#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "common/result.hpp"
#include "core/feedback/feedback_error.hpp"

namespace deskplay::core {

// Creates `path` as a new directory that only its owner may enter (0700), whatever the
// umask. A path that already exists, a symbolic link included, is refused, so a directory
// planted in advance can never become the session's.
Status createPrivateDirectory(const std::filesystem::path& path);

// The bytes of the record file at `path`, or nothing when there is none. The file is read
// without following a link, only when it is a regular file, and never beyond one byte more
// than a record may hold, so neither a link, a pipe nor a huge file can stall or flood the
// caller.
Result<std::optional<std::string>, FeedbackError> readRecordFile(const std::filesystem::path& path);

}  // namespace deskplay::core
