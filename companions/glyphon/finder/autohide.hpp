#pragma once

#include <optional>
#include <string>

#include "protocol/apple_script_runner.hpp"

namespace deskplay::glyphon {

// Hides or shows the Dock, and the menu bar, through System Events; the script's error text
// when it failed.
std::optional<std::string> setAutohideDock(AppleScriptRunner& scripts, bool hidden);
std::optional<std::string> setAutohideMenuBar(AppleScriptRunner& scripts, bool hidden);

}  // namespace deskplay::glyphon
