#pragma once

#include <filesystem>
#include <optional>

namespace deskplay::core {

// The development checkout: the nearest of the bundle's eight ancestors (its parent first)
// that holds "pnpm-workspace.yaml"; nothing when none does.
std::optional<std::filesystem::path> findRepoRoot(const std::filesystem::path& bundle);

}  // namespace deskplay::core
