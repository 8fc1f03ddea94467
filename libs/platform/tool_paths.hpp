#pragma once

#include <filesystem>

namespace deskplay::platform {

// The command-line tools the programs run by path: the property-list editor, the tool that
// quits an application by name, the tool that opens applications and files, and the login
// shell.
struct ToolPaths {
  std::filesystem::path plistBuddy;
  std::filesystem::path killall;
  std::filesystem::path open;
  std::filesystem::path zsh;
};

// Where macOS keeps them.
inline ToolPaths macosToolPaths() {
  return {"/usr/libexec/PlistBuddy", "/usr/bin/killall", "/usr/bin/open", "/bin/zsh"};
}

// On Linux the first three are our own stand-ins, kept together in `simulatorTools`; the
// shell is the system's.
inline ToolPaths simulatedToolPaths(const std::filesystem::path& simulatorTools) {
  return {simulatorTools / "PlistBuddy", simulatorTools / "killall", simulatorTools / "open",
          "/bin/zsh"};
}

}  // namespace deskplay::platform
