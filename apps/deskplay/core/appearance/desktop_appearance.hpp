#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace deskplay::core {

// Where one of the user's Desktop items sat: its name and Finder's desktop position (the
// icon's centre).
struct IconPosition {
  std::string name;
  std::int64_t x = 0;
  std::int64_t y = 0;
  friend bool operator==(const IconPosition&, const IconPosition&) = default;
};

// One value of Finder's stored desktop icon view settings, as the preferences file types it.
using FinderPreference = std::variant<bool, std::int64_t, double, std::string>;

// The keys of Finder's DesktopViewSettings:IconViewSettings that games write.
inline constexpr const char* kFinderPreferenceKeys[] = {"gridSpacing", "iconSize", "textSize",
                                                        "labelOnBottom", "arrangeBy"};

// How the desktop looks, as far as a game can change it: Finder's icon view options of the
// desktop, Finder's stored settings (absent keys included, so that a key a game added can be
// taken away again), the desktop picture, whether the Dock and the menu bar hide, and where
// the user's Desktop items sit. A value that could not be read is left out, and is then never
// put back.
struct DesktopAppearance {
  std::optional<std::int64_t> iconSize;
  std::optional<std::int64_t> textSize;
  // Finder's label position constant: "bottom" or "right".
  std::optional<std::string> labelPosition;
  // Finder's arrangement constant, such as "not arranged" or "arranged by name".
  std::optional<std::string> arrangement;
  std::optional<bool> showsItemInfo;
  std::optional<std::string> desktopPicture;
  std::optional<bool> dockAutohide;
  std::optional<bool> menuBarAutohide;
  // Key → its stored value, or nothing when the key was not stored. Keys that could not be
  // read (another type) are missing.
  std::map<std::string, std::optional<FinderPreference>> finderPreferences;
  std::vector<IconPosition> positions;

  friend bool operator==(const DesktopAppearance&, const DesktopAppearance&) = default;
};

}  // namespace deskplay::core
