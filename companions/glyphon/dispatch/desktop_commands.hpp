#pragma once

#include <optional>
#include <string>

#include "protocol/command.hpp"

namespace deskplay::glyphon {

// The commands that change Finder's desktop view settings, the Dock and menu bar, and files'
// icons and metadata. Each is called once its row's own input checks have passed.
class DesktopCommands {
 public:
  virtual ~DesktopCommands() = default;

  virtual CommandAnswer iconSize() = 0;
  // The value is parsed and checked here ("Missing icon size").
  virtual CommandAnswer iconSizeSet(const std::optional<std::string>& value) = 0;
  virtual CommandAnswer gridSpacing() = 0;
  // The value is parsed and checked here.
  virtual CommandAnswer gridSpacingSet(const std::optional<std::string>& value) = 0;
  virtual CommandAnswer gridArrangementGet() = 0;
  virtual CommandAnswer gridArrangementSet(const std::string& value) = 0;
  // `loweredValue` is "true", "false" or "status".
  virtual CommandAnswer desktopLabels(const std::string& loweredValue) = 0;
  virtual CommandAnswer backgroundGet() = 0;
  virtual CommandAnswer backgroundSetPath(const std::string& path) = 0;
  virtual CommandAnswer restartFinder(const Command& command) = 0;
  // Each gives the error text of its script, or nothing.
  virtual std::optional<std::string> setAutohideDock(bool hidden) = 0;
  virtual std::optional<std::string> setAutohideMenuBar(bool hidden) = 0;

  virtual CommandAnswer iconGet(const std::string& path) = 0;
  virtual CommandAnswer iconSetPath(const std::string& path, const std::string& iconPath) = 0;
  virtual CommandAnswer iconSetData(const std::string& path, const std::string& iconData) = 0;
  virtual CommandAnswer iconClear(const std::string& path) = 0;
  virtual CommandAnswer templateCopy(const std::string& templatePath,
                                     const std::string& destination) = 0;
  // Never answered.
  virtual void extensionHidden(const std::string& path, const std::string& value) = 0;
};

}  // namespace deskplay::glyphon
