#pragma once

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "core/session/engine_launch.hpp"
#include "platform/preferences.hpp"

namespace deskplay::core {

// The session's settings as the engine receives them.
struct EngineSettings {
  std::uint16_t inputPort = 0;
  std::filesystem::path statusPath;
  std::string sessionId;
  // The stored "soundsEnabled" default, as stored (any type), or nothing.
  std::optional<platform::PreferenceValue> soundsEnabled;
  std::string serverUrl;
  std::optional<std::string> sessionToken;
  std::string dataDir;
  std::optional<std::string> gameServerToken;
  // Where the icon controller notes the desktop settings the game asks it to change.
  std::filesystem::path desktopChangesPath;
};

// The PATH tail that makes the system tools reachable from a packaged engine.
inline constexpr const char* kSystemToolsPath = "/usr/bin:/bin:/usr/sbin:/sbin";

// Sounds are off only when the user switched them off: a stored boolean false.
bool mutedBySettings(const std::optional<platform::PreferenceValue>& soundsEnabled);

// The variables added to (or replacing those of) the application's own environment for one
// engine. `inheritedPath` is the application's PATH, if any.
std::map<std::string, std::string> engineEnvironment(
    const EngineSettings& settings, const EngineLaunch& launch,
    const std::optional<std::string>& inheritedPath);

}  // namespace deskplay::core
