#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string_view>

#include "common/result.hpp"

namespace deskplay {

// Replaces the file at `path` with `content` so that a reader, or a crash, sees either the
// old file or the new one whole: a temporary file in the same folder is written, synced and
// renamed over it, and the folder is synced. The folder must exist.
Status replaceFileAtomically(const std::filesystem::path& path, std::string_view content,
                             mode_t mode = 0644);

}  // namespace deskplay
