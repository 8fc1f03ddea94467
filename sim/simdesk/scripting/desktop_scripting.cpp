#include "sim/simdesk/scripting/desktop_scripting.hpp"

#include <filesystem>
#include <system_error>

#include "applescript/descriptor.hpp"

namespace deskplay::simdesk {

DesktopScripting::DesktopScripting(SimulatedDesktop& desktop)
    : finder_(desktop.finder()), systemEvents_(desktop.systemEvents(), desktop.applications()) {}

platform::ScriptRun DesktopScripting::run(std::string_view source) {
  return applescript::run(source, *this);
}

applescript::ScriptableApplication* DesktopScripting::application(std::string_view name) {
  if (name == "Finder") return &finder_;
  if (name == "System Events") return &systemEvents_;
  return nullptr;
}

bool DesktopScripting::fileExists(std::string_view posixPath) {
  std::error_code error;
  // An alias may point at a symbolic link itself, dangling or not.
  return std::filesystem::exists(std::filesystem::symlink_status(posixPath, error));
}

platform::ScriptRun runScript(std::string_view source, SimulatedDesktop& desktop) {
  return DesktopScripting(desktop).run(source);
}

}  // namespace deskplay::simdesk
