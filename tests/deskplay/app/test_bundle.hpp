#pragma once

#include <filesystem>
#include <string>

namespace deskplay::testing {

// A game folder the catalog accepts: an empty entry file and a manifest with `order`.
void addTestGame(const std::filesystem::path& games, const std::string& id, int order = 0);

// A copy of the application at `executable`, laid out as a bundle in `folder` (it finds its
// resources beside its own file), with `engine` as its Node.js and an empty games folder.
// Gives the copy's executable.
std::filesystem::path makeTestBundle(const std::filesystem::path& folder,
                                     const std::filesystem::path& executable,
                                     const std::filesystem::path& engine);

}  // namespace deskplay::testing
