#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.hpp"

namespace deskplay {

// Records (manifests, tokens, settings) are a few kilobytes; 1 MiB is generous.
inline constexpr std::size_t kRecordFileLimit = std::size_t{1} << 20;

enum class FinalLink { follow, refuse };

// The whole content of a small file, or nothing when there is no file at `path`. Only a
// regular file is read, and never more than `limit` bytes of it: the open does not wait, so
// a FIFO or a device found in the file's place cannot stall the caller, and neither
// /dev/zero nor a huge file can fill memory. With `FinalLink::refuse` a symbolic link at
// `path` is refused too. Every refusal is an error naming the path.
Result<std::optional<std::string>> readSmallFile(const std::filesystem::path& path,
                                                 std::size_t limit, FinalLink links);

}  // namespace deskplay
