#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "platform/windows.hpp"

namespace deskplay::simdesk {

enum class LabelPosition { bottom, right };

enum class Arrangement {
  notArranged,
  snapToGrid,
  byName,
  byKind,
  byDateModified,
  byDateCreated,
  bySize,
  byLabel,
};

// The desktop's icon view options, as Finder keeps them while it runs.
struct IconViewOptions {
  static constexpr int kMinIconSize = 16;
  static constexpr int kMaxIconSize = 512;

  int iconSize = 64;
  int textSize = 12;
  LabelPosition labelPosition = LabelPosition::bottom;
  Arrangement arrangement = Arrangement::notArranged;
  bool showsItemInfo = false;
  bool showsIconPreview = true;
  // Distance between grid cells, only from the preferences file.
  double gridSpacing = 54;
  // Kept as Finder keeps it; the desktop itself always shows System Events' picture.
  std::optional<platform::Color> backgroundColor;

  friend bool operator==(const IconViewOptions&, const IconViewOptions&) = default;
};

// Finder's clamping of a requested icon size (16–512).
int clampIconSize(long long size);
// Finder offers text sizes 10–16.
int clampTextSize(long long size);

// Finder's AppleScript constants: "not arranged", "snap to grid", "arranged by name",
// "arranged by kind", "arranged by modification date", "arranged by creation date",
// "arranged by size", "arranged by label".
std::string_view arrangementConstant(Arrangement arrangement);
std::optional<Arrangement> arrangementFromConstant(std::string_view constant);
// The preference's "arrangeBy" values: "none", "grid", "name", "kind", "dateModified",
// "dateCreated", "size", "label".
std::string_view arrangementPreference(Arrangement arrangement);
std::optional<Arrangement> arrangementFromPreference(std::string_view value);
// "bottom" / "right", the label position constants.
std::string_view labelPositionConstant(LabelPosition position);

// The desktop's options from Finder's preferences file (DesktopViewSettings:IconViewSettings:
// gridSpacing, iconSize, textSize, labelOnBottom, arrangeBy, showItemInfo, showIconPreview,
// backgroundType with backgroundColorRed/Green/Blue). Missing, unreadable or mistyped values
// keep their defaults; numbers may be reals or integers.
IconViewOptions readDesktopIconViewOptions(const std::filesystem::path& preferencesFile);

// $HOME/Library/Preferences/com.apple.finder.plist
std::filesystem::path finderPreferencesFile(const std::filesystem::path& home);

}  // namespace deskplay::simdesk
