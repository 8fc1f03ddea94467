#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/feedback/session_record.hpp"
#include "platform/windows.hpp"

namespace deskplay::core {

// Asks Finder for the Desktop's icon size.
inline constexpr std::string_view kDesktopIconSizeScript =
    "tell application \"Finder\" to get icon size of icon view options of container window of "
    "desktop";

// Where one tile goes, in Finder's desktop coordinates.
struct TilePlacement {
  std::string path;
  std::int64_t x = 0;
  std::int64_t y = 0;
  friend bool operator==(const TilePlacement&, const TilePlacement&) = default;
};

// One row of tiles, in the given order, centred on `screen`, each tile a little over half an
// icon from the next.
std::vector<TilePlacement> lineUpTiles(const std::vector<SessionTile>& tiles, std::int32_t iconSize,
                                       const platform::Screen& screen);

// `text` made safe inside an AppleScript string literal: backslashes doubled, double quotes
// escaped.
std::string escapeAppleScript(std::string_view text);

// One Finder script that moves every tile to its place.
std::string desktopPositionScript(const std::vector<TilePlacement>& placements);

}  // namespace deskplay::core
