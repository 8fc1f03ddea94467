#pragma once

#include <utility>

#include "app/desktop_change_journal.hpp"
#include "dispatch/desktop_commands.hpp"

namespace deskplay::glyphon {

// The desktop commands, each setting change noted in the journal before it is made. A Finder
// restart counts as a change of every icon view option, since Finder takes them all from its
// stored settings when it starts again.
class JournalledDesktopCommands final : public DesktopCommands {
 public:
  JournalledDesktopCommands(DesktopCommands& commands, DesktopChangeJournal journal)
      : commands_(commands), journal_(std::move(journal)) {}

  CommandAnswer iconSize() override { return commands_.iconSize(); }
  CommandAnswer iconSizeSet(const std::optional<std::string>& value) override;
  CommandAnswer gridSpacing() override { return commands_.gridSpacing(); }
  CommandAnswer gridSpacingSet(const std::optional<std::string>& value) override;
  CommandAnswer gridArrangementGet() override { return commands_.gridArrangementGet(); }
  CommandAnswer gridArrangementSet(const std::string& value) override;
  CommandAnswer desktopLabels(const std::string& loweredValue) override;
  CommandAnswer backgroundGet() override { return commands_.backgroundGet(); }
  CommandAnswer backgroundSetPath(const std::string& path) override;
  CommandAnswer restartFinder(const Command& command) override;
  std::optional<std::string> setAutohideDock(bool hidden) override;
  std::optional<std::string> setAutohideMenuBar(bool hidden) override;

  CommandAnswer iconGet(const std::string& path) override { return commands_.iconGet(path); }
  CommandAnswer iconSetPath(const std::string& path, const std::string& iconPath) override {
    return commands_.iconSetPath(path, iconPath);
  }
  CommandAnswer iconSetData(const std::string& path, const std::string& iconData) override {
    return commands_.iconSetData(path, iconData);
  }
  CommandAnswer iconClear(const std::string& path) override { return commands_.iconClear(path); }
  CommandAnswer templateCopy(const std::string& templatePath,
                             const std::string& destination) override {
    return commands_.templateCopy(templatePath, destination);
  }
  void extensionHidden(const std::string& path, const std::string& value) override {
    commands_.extensionHidden(path, value);
  }

 private:
  DesktopCommands& commands_;
  DesktopChangeJournal journal_;
};

}  // namespace deskplay::glyphon
