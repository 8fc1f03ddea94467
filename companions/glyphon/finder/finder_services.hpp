#pragma once

#include <filesystem>

#include "platform/clock.hpp"
#include "platform/preferences.hpp"
#include "platform/tool_paths.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

// What the desktop view commands reach: Finder and System Events through scripts, Finder's
// preferences domain and its preferences file, the tools that restart Finder, and time for
// the waits between Finder's answers.
struct FinderServices {
  AppleScriptRunner& scripts;
  LogLines& log;
  platform::Preferences& preferences;
  platform::Clock& clock;
  platform::ToolPaths tools;
  std::filesystem::path preferencesFile;
};

// Finder's preferences file under `home`, which PlistBuddy edits.
std::filesystem::path finderPreferencesFile(const std::filesystem::path& home);

}  // namespace deskplay::glyphon
