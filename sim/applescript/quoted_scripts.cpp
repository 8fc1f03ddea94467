#include "quoted_scripts.hpp"

namespace deskplay::applescript::testing {

namespace {
const std::string finderTo = "tell application \"Finder\" to ";
const std::string eventsTo = "tell application \"System Events\" to ";
const std::string desktopOptions = " of icon view options of container window of desktop";
}  // namespace

std::string escaped(const std::string& text) {
  std::string doubled;
  for (const char c : text) {
    if (c == '\\') doubled += '\\';
    doubled += c;
  }
  std::string result;
  for (const char c : doubled) {
    if (c == '"') result += '\\';
    result += c;
  }
  return result;
}

std::string iconSizeGet() {
  return finderTo + "get icon size" + desktopOptions;
}
std::string iconSizeGetOfWindow() {
  return finderTo + "get icon size of icon view options of window of desktop";
}
std::string iconSizeSet(int size) {
  return finderTo + "set icon size" + desktopOptions + " to " + std::to_string(size);
}
std::string iconSizeSetOfWindow(int size) {
  return finderTo + "set icon size of icon view options of window of desktop to " +
         std::to_string(size);
}

std::string positions(const std::vector<std::string>& paths, int x, int y) {
  std::string script = "tell application \"Finder\"\n";
  for (std::size_t i = 0; i < paths.size(); ++i) {
    if (i > 0) script += "\n";
    script += "set desktop position of (POSIX file \"" + escaped(paths[i]) + "\" as alias) to {" +
              std::to_string(x + static_cast<int>(i)) + ", " + std::to_string(y) + "}";
  }
  return script + "\nend tell";
}

std::string labelIndexSet(const std::string& path, const std::string& value) {
  return finderTo + "set label index of (POSIX file \"" + escaped(path) + "\" as alias) to " +
         value;
}
std::string commentSet(const std::string& path, const std::string& comment) {
  return finderTo + "set comment of (POSIX file \"" + escaped(path) + "\" as alias) to \"" +
         escaped(comment) + "\" ";
}
std::string extensionHiddenSet(const std::string& path, const std::string& value) {
  return finderTo + "set extension hidden of (POSIX file \"" + escaped(path) + "\" as alias) to " +
         value;
}
std::string dockAutohide(const std::string& value) {
  return eventsTo + "set the dock preferences's autohide to " + value;
}
std::string menuBarAutohide(const std::string& value) {
  return eventsTo + "tell dock preferences to set autohide menu bar to " + value;
}
std::string arrangementGet() {
  return finderTo + "get arrangement" + desktopOptions;
}
std::string arrangementSet(const std::string& arrangement) {
  return finderTo + "set arrangement" + desktopOptions + " to " + arrangement;
}
std::string showsItemInfoGet() {
  return finderTo + "get shows item info" + desktopOptions;
}
std::string showsItemInfoSet(const std::string& value) {
  return finderTo + "set shows item info" + desktopOptions + " to " + value;
}
std::string pictureGet() {
  return eventsTo + "get picture of current desktop";
}
std::string pictureSet(const std::string& path) {
  return eventsTo + "set picture of current desktop to POSIX file \"" + escaped(path) + "\"";
}
std::string startupDiskNameGet() {
  return finderTo + "name of startup disk";
}
std::string textSizeSet(int size) {
  return finderTo + "set text size" + desktopOptions + " to " + std::to_string(size);
}
std::string labelPositionSet(const std::string& position) {
  return finderTo + "set label position" + desktopOptions + " to " + position;
}
std::string closeEveryWindow() {
  return finderTo + "close every window";
}
std::string hideOtherProcesses() {
  return eventsTo +
         "set visible of (every process whose visible is true and name is not \"Finder\") to false";
}

std::vector<std::string> everyQuotedScript() {
  const std::string path = "/Users/me/Desktop/a.txt";
  return {iconSizeGet(),
          iconSizeGetOfWindow(),
          iconSizeSet(64),
          iconSizeSetOfWindow(64),
          positions({path, "/Users/me/Desktop/b"}, 686, 450),
          labelIndexSet(path, "2"),
          commentSet(path, "hello"),
          extensionHiddenSet(path, "true"),
          dockAutohide("true"),
          menuBarAutohide("false"),
          arrangementGet(),
          arrangementSet("snap to grid"),
          arrangementSet("not arranged"),
          arrangementSet("name"),
          arrangementSet("kind"),
          arrangementSet("date modified"),
          showsItemInfoGet(),
          showsItemInfoSet("true"),
          pictureGet(),
          pictureSet("/Library/Pictures/x.png"),
          startupDiskNameGet(),
          textSizeSet(12),
          labelPositionSet("bottom"),
          labelPositionSet("right"),
          closeEveryWindow(),
          hideOtherProcesses()};
}

}  // namespace deskplay::applescript::testing
