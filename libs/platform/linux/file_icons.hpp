#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "common/result.hpp"
#include "platform/image.hpp"

namespace deskplay::platform {

// A file's custom icon and hidden-extension flag in its Finder attributes.

// Whether the custom-icon flag is set; nothing when the attributes cannot be read.
std::optional<bool> readHasCustomIcon(const std::filesystem::path& file);
// The custom icon's PNG from the resource-fork attribute, when the flag is set.
std::optional<std::string> readCustomIconPng(const std::filesystem::path& file);
// Stores `png` in the resource fork, then sets the flag, so that a reader never finds the
// flag without its image.
Status writeCustomIcon(const std::filesystem::path& file, const std::string& png);
// Clears the flag, then drops the image.
Status clearCustomIcon(const std::filesystem::path& file);
// Sets or clears one Finder flag, keeping the rest of FinderInfo; an all-zero FinderInfo is
// removed, as Finder does.
Status setFinderFlag(const std::filesystem::path& file, std::uint16_t flag, bool on);

}  // namespace deskplay::platform
