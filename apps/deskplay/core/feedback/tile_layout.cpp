#include "core/feedback/tile_layout.hpp"

namespace deskplay::core {

std::vector<TilePlacement> lineUpTiles(const std::vector<SessionTile>& tiles, std::int32_t iconSize,
                                       const platform::Screen& screen) {
  // Neighbouring icons overlap a little, so the row stays short even with many tiles.
  constexpr double kSpacing = 0.52;
  const double count = static_cast<double>(tiles.size());
  const double width = screen.frame.size.width;
  const double height = screen.frame.size.height;

  std::vector<TilePlacement> placements;
  placements.reserve(tiles.size());
  for (std::size_t i = 0; i < tiles.size(); ++i) {
    const double offset = static_cast<double>(i) - (count - 1) * 0.5;
    const double x = width * 0.5 + offset * static_cast<double>(iconSize) * kSpacing;
    const double y = height * 0.5;
    placements.push_back(
        TilePlacement{tiles[i].path, static_cast<std::int64_t>(x), static_cast<std::int64_t>(y)});
  }
  return placements;
}

std::string escapeAppleScript(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    if (c == '\\' || c == '"') escaped += '\\';
    escaped += c;
  }
  return escaped;
}

std::string desktopPositionScript(const std::vector<TilePlacement>& placements) {
  std::string script = "tell application \"Finder\"\n";
  for (std::size_t i = 0; i < placements.size(); ++i) {
    const TilePlacement& tile = placements[i];
    if (i > 0) script += '\n';
    script += "set desktop position of (POSIX file \"" + escapeAppleScript(tile.path) +
              "\" as alias) to {" + std::to_string(tile.x) + ", " + std::to_string(tile.y) + "}";
  }
  script += "\nend tell";
  return script;
}

}  // namespace deskplay::core
