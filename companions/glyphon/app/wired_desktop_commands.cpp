#include "app/wired_desktop_commands.hpp"

#include "file_icons/extension_hidden.hpp"
#include "file_icons/file_icon_commands.hpp"
#include "finder/autohide.hpp"
#include "finder/background_commands.hpp"
#include "finder/restart_finder.hpp"
#include "finder/view_settings_commands.hpp"

namespace deskplay::glyphon {

CommandAnswer WiredDesktopCommands::iconSize() {
  return glyphon::iconSize(finder_);
}

CommandAnswer WiredDesktopCommands::iconSizeSet(const std::optional<std::string>& value) {
  return glyphon::iconSizeSet(finder_, value);
}

CommandAnswer WiredDesktopCommands::gridSpacing() {
  return glyphon::gridSpacing(finder_);
}

CommandAnswer WiredDesktopCommands::gridSpacingSet(const std::optional<std::string>& value) {
  return glyphon::gridSpacingSet(finder_, value);
}

CommandAnswer WiredDesktopCommands::gridArrangementGet() {
  return glyphon::gridArrangementGet(finder_);
}

CommandAnswer WiredDesktopCommands::gridArrangementSet(const std::string& value) {
  return glyphon::gridArrangementSet(finder_, value);
}

CommandAnswer WiredDesktopCommands::desktopLabels(const std::string& loweredValue) {
  return glyphon::desktopLabels(finder_, loweredValue);
}

CommandAnswer WiredDesktopCommands::backgroundGet() {
  return glyphon::backgroundGet(finder_);
}

CommandAnswer WiredDesktopCommands::backgroundSetPath(const std::string& path) {
  return glyphon::backgroundSetPath(finder_, path);
}

CommandAnswer WiredDesktopCommands::restartFinder(const Command& command) {
  return glyphon::restartFinder(finder_, command);
}

std::optional<std::string> WiredDesktopCommands::setAutohideDock(bool hidden) {
  return glyphon::setAutohideDock(finder_.scripts, hidden);
}

std::optional<std::string> WiredDesktopCommands::setAutohideMenuBar(bool hidden) {
  return glyphon::setAutohideMenuBar(finder_.scripts, hidden);
}

CommandAnswer WiredDesktopCommands::iconGet(const std::string& path) {
  return glyphon::iconGet(fileIcons_, path);
}

CommandAnswer WiredDesktopCommands::iconSetPath(const std::string& path,
                                                const std::string& iconPath) {
  return glyphon::iconSetPath(fileIcons_, path, iconPath);
}

CommandAnswer WiredDesktopCommands::iconSetData(const std::string& path,
                                                const std::string& iconData) {
  return glyphon::iconSetData(fileIcons_, path, iconData);
}

CommandAnswer WiredDesktopCommands::iconClear(const std::string& path) {
  return glyphon::iconClear(fileIcons_, path);
}

CommandAnswer WiredDesktopCommands::templateCopy(const std::string& templatePath,
                                                 const std::string& destination) {
  return glyphon::templateCopy(templatePath, destination);
}

void WiredDesktopCommands::extensionHidden(const std::string& path, const std::string& value) {
  glyphon::extensionHidden(fileIcons_, path, value);
}

}  // namespace deskplay::glyphon
