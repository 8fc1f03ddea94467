#pragma once

#include <string>

#include "platform/preferences.hpp"

namespace deskplay::glyphon {

// Finder's preferences domain and where the desktop's icon view settings live in it.
inline constexpr std::string_view kFinderDomain = "com.apple.finder";
inline constexpr std::string_view kDesktopViewSettingsKey = "DesktopViewSettings";
inline constexpr std::string_view kIconViewSettingsKey = "IconViewSettings";

// Stores every entry of `settings` into the desktop's icon view settings, keeping the other
// entries, and synchronises the domain. False when synchronising failed.
bool writeDesktopIconViewSettings(platform::Preferences& preferences,
                                  const platform::PreferenceDictionary& settings);

// "key=value, …" in key order, for the log.
std::string describeSettings(const platform::PreferenceDictionary& settings);

}  // namespace deskplay::glyphon
