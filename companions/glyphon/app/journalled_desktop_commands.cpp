#include "app/journalled_desktop_commands.hpp"

namespace deskplay::glyphon {

CommandAnswer JournalledDesktopCommands::iconSizeSet(const std::optional<std::string>& value) {
  journal_.note({"iconSize"});
  return commands_.iconSizeSet(value);
}

CommandAnswer JournalledDesktopCommands::gridSpacingSet(const std::optional<std::string>& value) {
  journal_.note({"finderPreferences"});
  return commands_.gridSpacingSet(value);
}

CommandAnswer JournalledDesktopCommands::gridArrangementSet(const std::string& value) {
  journal_.note({"arrangement"});
  return commands_.gridArrangementSet(value);
}

CommandAnswer JournalledDesktopCommands::desktopLabels(const std::string& loweredValue) {
  if (loweredValue != "status") journal_.note({"showsItemInfo"});
  return commands_.desktopLabels(loweredValue);
}

CommandAnswer JournalledDesktopCommands::backgroundSetPath(const std::string& path) {
  journal_.note({"desktopPicture"});
  return commands_.backgroundSetPath(path);
}

CommandAnswer JournalledDesktopCommands::restartFinder(const Command& command) {
  journal_.note({"finderPreferences", "iconSize", "textSize", "labelPosition", "arrangement",
                 "showsItemInfo"});
  return commands_.restartFinder(command);
}

std::optional<std::string> JournalledDesktopCommands::setAutohideDock(bool hidden) {
  journal_.note({"dockAutohide"});
  return commands_.setAutohideDock(hidden);
}

std::optional<std::string> JournalledDesktopCommands::setAutohideMenuBar(bool hidden) {
  journal_.note({"menuBarAutohide"});
  return commands_.setAutohideMenuBar(hidden);
}

}  // namespace deskplay::glyphon
