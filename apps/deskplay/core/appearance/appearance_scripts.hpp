#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace deskplay::core::appearance_scripts {

// Reads. Finder's constants (label position, arrangement) are asked for as text, which gives
// their names ("bottom", "not arranged").
inline constexpr std::string_view kIconSize =
    "tell application \"Finder\" to get icon size of icon view options of container window of "
    "desktop";
inline constexpr std::string_view kTextSize =
    "tell application \"Finder\" to get text size of icon view options of container window of "
    "desktop";
inline constexpr std::string_view kLabelPosition =
    "tell application \"Finder\" to get (label position of icon view options of container "
    "window of desktop) as text";
inline constexpr std::string_view kArrangement =
    "tell application \"Finder\" to get (arrangement of icon view options of container window "
    "of desktop) as text";
inline constexpr std::string_view kShowsItemInfo =
    "tell application \"Finder\" to get shows item info of icon view options of container "
    "window of desktop";
inline constexpr std::string_view kDesktopPicture =
    "tell application \"System Events\" to get picture of current desktop";
inline constexpr std::string_view kDockAutohide =
    "tell application \"System Events\" to get autohide of dock preferences";
inline constexpr std::string_view kMenuBarAutohide =
    "tell application \"System Events\" to get autohide menu bar of dock preferences";
// Answers once Finder is up.
inline constexpr std::string_view kFinderReady =
    "tell application \"Finder\" to name of startup disk";
inline constexpr std::string_view kOpenFinder = "tell application \"Finder\" to activate";
inline constexpr std::string_view kQuitFinder = "tell application \"Finder\" to quit";

// Writes, with the value appended as the scripts take it.
std::string setIconSize(std::int64_t size);
std::string setTextSize(std::int64_t size);
std::string setLabelPosition(std::string_view position);
std::string setArrangement(std::string_view arrangement);
std::string setShowsItemInfo(bool shows);
std::string setDesktopPicture(const std::string& path);
std::string setDockAutohide(bool hidden);
std::string setMenuBarAutohide(bool hidden);

}  // namespace deskplay::core::appearance_scripts
