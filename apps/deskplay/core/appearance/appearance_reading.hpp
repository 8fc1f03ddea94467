#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/appearance/appearance_services.hpp"
#include "core/appearance/desktop_appearance.hpp"
#include "platform/accessibility.hpp"
#include "platform/windows.hpp"

namespace deskplay::core {

// The domain and dictionary that hold Finder's stored desktop settings.
inline constexpr std::string_view kFinderDomain = "com.apple.finder";
inline constexpr std::string_view kDesktopViewSettingsKey = "DesktopViewSettings";
inline constexpr std::string_view kIconViewSettingsKey = "IconViewSettings";

// Waits until Finder answers scripts, up to 20 tries half a second apart; when it does not
// run at all (a relaunch cut short), it is opened first. False when it never answered.
bool awaitFinder(AppearanceServices services);

// Everything a game may change, as it is now; the positions of the Desktop items named
// `items` (those Finder shows). Values that cannot be read are left out.
DesktopAppearance readDesktopAppearance(AppearanceServices services,
                                        const std::vector<std::string>& items);

// Finder's icon view options of the desktop, as Finder answers now.
void readIconViewOptions(platform::ScriptHost& host, DesktopAppearance& appearance);
// The desktop picture and whether the Dock and the menu bar hide.
void readSystemSettings(platform::ScriptHost& host, DesktopAppearance& appearance);

// The dictionary stored under `key` in `dictionary`; null when either is missing.
const platform::PreferenceDictionary* dictionaryIn(const platform::PreferenceDictionary* dictionary,
                                                   std::string_view key);

// The stored Finder settings a game may write, as they are now (after rereading the domain).
std::map<std::string, std::optional<FinderPreference>> readFinderPreferences(
    platform::Preferences& preferences);

// The visible entries of the Desktop folder (names not starting with "."), in listing order.
std::vector<std::string> visibleDesktopItems(const std::filesystem::path& desktop);

// Where Finder's accessibility tree shows the icons of the items of `desktop`: each icon's
// centre (its position plus half its size, rounded), which is the desktop position Finder's
// scripting reads and sets. Icons of other folders' windows are left out; of two icons of
// one name the first found, breadth first, counts.
std::vector<IconPosition> readDesktopIconPlaces(platform::Accessibility& accessibility,
                                                platform::Windows& windows,
                                                const std::filesystem::path& desktop);

}  // namespace deskplay::core
