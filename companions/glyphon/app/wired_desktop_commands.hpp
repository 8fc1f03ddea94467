#pragma once

#include <utility>

#include "dispatch/desktop_commands.hpp"
#include "file_icons/file_icon_services.hpp"
#include "finder/finder_services.hpp"

namespace deskplay::glyphon {

// The desktop commands carried out on Finder, System Events, Finder's preferences and the
// files themselves.
class WiredDesktopCommands final : public DesktopCommands {
 public:
  WiredDesktopCommands(FinderServices finder, FileIconServices fileIcons)
      : finder_(std::move(finder)), fileIcons_(fileIcons) {}

  CommandAnswer iconSize() override;
  CommandAnswer iconSizeSet(const std::optional<std::string>& value) override;
  CommandAnswer gridSpacing() override;
  CommandAnswer gridSpacingSet(const std::optional<std::string>& value) override;
  CommandAnswer gridArrangementGet() override;
  CommandAnswer gridArrangementSet(const std::string& value) override;
  CommandAnswer desktopLabels(const std::string& loweredValue) override;
  CommandAnswer backgroundGet() override;
  CommandAnswer backgroundSetPath(const std::string& path) override;
  CommandAnswer restartFinder(const Command& command) override;
  std::optional<std::string> setAutohideDock(bool hidden) override;
  std::optional<std::string> setAutohideMenuBar(bool hidden) override;

  CommandAnswer iconGet(const std::string& path) override;
  CommandAnswer iconSetPath(const std::string& path, const std::string& iconPath) override;
  CommandAnswer iconSetData(const std::string& path, const std::string& iconData) override;
  CommandAnswer iconClear(const std::string& path) override;
  CommandAnswer templateCopy(const std::string& templatePath,
                             const std::string& destination) override;
  void extensionHidden(const std::string& path, const std::string& value) override;

 private:
  FinderServices finder_;
  FileIconServices fileIcons_;
};

}  // namespace deskplay::glyphon
