#include "core/session/engine_environment.hpp"

#include <variant>

#include "core/settings/sound_setting.hpp"

namespace deskplay::core {

bool mutedBySettings(const std::optional<platform::PreferenceValue>& soundsEnabled) {
  return !soundsEnabledBy(soundsEnabled);
}

std::map<std::string, std::string> engineEnvironment(
    const EngineSettings& settings, const EngineLaunch& launch,
    const std::optional<std::string>& inheritedPath) {
  std::map<std::string, std::string> entries{
      {"DESKPLAY_PORT", std::to_string(settings.inputPort)},
      {"DESKPLAY_SUPERVISED", "1"},
      {"FRONDEL_SESSION_STATUS_PATH", settings.statusPath.string()},
      {"FRONDEL_SESSION_ID", settings.sessionId},
      {"FRONDEL_SESSION_STATUS_SURFACE", "native"},
      {"GAME_SERVER_URL", settings.serverUrl},
      {"DESKPLAY_DATA_DIR", settings.dataDir},
      {"FRONDEL_DESKTOP_CHANGES_PATH", settings.desktopChangesPath.string()},
  };
  if (mutedBySettings(settings.soundsEnabled)) entries["DESKPLAY_MUTED"] = "1";
  if (settings.sessionToken) entries["DESKPLAY_SESSION_TOKEN"] = *settings.sessionToken;
  if (settings.gameServerToken) entries["GAME_SERVER_TOKEN"] = *settings.gameServerToken;

  // The login shell and the checkout supply PATH and the companions in development.
  if (const auto* packaged = std::get_if<PackagedLaunch>(&launch)) {
    entries["PATH"] = inheritedPath && !inheritedPath->empty()
                          ? *inheritedPath + ":" + kSystemToolsPath
                          : std::string(kSystemToolsPath);
    const std::filesystem::path companions = packaged->resources / "frondel-bin";
    entries["FRONDEL_GLYPHON_PATH"] = (companions / "Glyphon").string();
    entries["FRONDEL_KEYHARK_PATH"] = (companions / "Keyhark").string();
    entries["FRONDEL_SONETTE_PATH"] = (companions / "Sonette").string();
    entries["FRONDEL_BURROWD_PATH"] = (companions / "Burrowd").string();
  }
  return entries;
}

}  // namespace deskplay::core
