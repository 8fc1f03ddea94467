#include "core/appearance/appearance_scripts.hpp"

#include "core/feedback/tile_layout.hpp"

namespace deskplay::core::appearance_scripts {

namespace {

constexpr std::string_view kSetOption =
    "tell application \"Finder\" to set {} of icon view options of container window of desktop "
    "to ";

std::string setOption(std::string_view option, std::string_view value) {
  std::string script(kSetOption);
  script.replace(script.find("{}"), 2, option);
  return script + std::string(value);
}

std::string truth(bool value) {
  return value ? "true" : "false";
}

}  // namespace

std::string setIconSize(std::int64_t size) {
  return setOption("icon size", std::to_string(size));
}

std::string setTextSize(std::int64_t size) {
  return setOption("text size", std::to_string(size));
}

std::string setLabelPosition(std::string_view position) {
  return setOption("label position", position);
}

std::string setArrangement(std::string_view arrangement) {
  return setOption("arrangement", arrangement);
}

std::string setShowsItemInfo(bool shows) {
  return setOption("shows item info", truth(shows));
}

std::string setDesktopPicture(const std::string& path) {
  return "tell application \"System Events\" to set picture of current desktop to POSIX file \"" +
         escapeAppleScript(path) + "\"";
}

std::string setDockAutohide(bool hidden) {
  return "tell application \"System Events\" to set the dock preferences's autohide to " +
         truth(hidden);
}

std::string setMenuBarAutohide(bool hidden) {
  return "tell application \"System Events\" to tell dock preferences to set autohide menu bar "
         "to " +
         truth(hidden);
}

}  // namespace deskplay::core::appearance_scripts
