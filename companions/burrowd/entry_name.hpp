#pragma once

#include <string_view>

#include "common/result.hpp"

namespace deskplay::burrowd {

// The recovery journal's file name inside the stash directory.
inline constexpr std::string_view kManifestName = ".manifest.json";

// A name must be one path component: not empty, not "." or "..", without "/" or NUL.
Status checkBasename(std::string_view name);

}  // namespace deskplay::burrowd
