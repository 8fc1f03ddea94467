#pragma once

#include <string>

#include "core/basics/app_paths.hpp"
#include "platform/preferences.hpp"

namespace deskplay::core {

// The user-defaults key of the folder chosen for games' saved work.
inline constexpr char kDataDirKey[] = "dataDir";

// The folder in which games keep saved work: the "dataDir" string when set and not empty,
// unchanged, else home + "Documents/Deskplay". Creates nothing.
std::string resolvedDataDirPath(platform::Preferences& preferences, const AppPaths& paths);

}  // namespace deskplay::core
