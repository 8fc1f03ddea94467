#pragma once

#include <filesystem>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "core/appearance/appearance_services.hpp"
#include "core/appearance/desktop_appearance.hpp"

namespace deskplay::core {

// The names of the settings, as the snapshot keys them, for saying which ones a game touched.
namespace appearance_setting {
inline constexpr const char* kIconSize = "iconSize";
inline constexpr const char* kTextSize = "textSize";
inline constexpr const char* kLabelPosition = "labelPosition";
inline constexpr const char* kArrangement = "arrangement";
inline constexpr const char* kShowsItemInfo = "showsItemInfo";
inline constexpr const char* kDesktopPicture = "desktopPicture";
inline constexpr const char* kDockAutohide = "dockAutohide";
inline constexpr const char* kMenuBarAutohide = "menuBarAutohide";
inline constexpr const char* kFinderPreferences = "finderPreferences";
}  // namespace appearance_setting

// The settings a game changed, when that is known; nothing means any of them may have been.
using TouchedSettings = std::optional<std::set<std::string, std::less<>>>;

// What putting the look back did: the values that differed and were put back, and what could
// not be done.
struct AppearanceRestore {
  std::vector<std::string> putBack;
  std::vector<std::string> problems;
};

// Puts back every value of `before` that differs now and that the game may have touched, in
// the order that lets each step hold: Finder's stored settings first (with a relaunch of
// Finder, which reads them only when it starts), then the icon view options by script, the
// desktop picture, the Dock and the menu bar, and last the positions of the items, which an
// arrangement would override. An item no longer on the Desktop is skipped. A value already as
// it was is left alone, so putting the same look back twice changes nothing the second time.
AppearanceRestore putBackDesktopAppearance(AppearanceServices services,
                                           const DesktopAppearance& before,
                                           const std::filesystem::path& desktop,
                                           const TouchedSettings& touched);

}  // namespace deskplay::core
