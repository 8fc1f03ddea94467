#include "core/session/engine_environment.hpp"

#include <gtest/gtest.h>

namespace deskplay::core {
namespace {

using Entries = std::map<std::string, std::string>;

EngineSettings baseSettings() {
  EngineSettings settings;
  settings.inputPort = 50123;
  settings.statusPath = "/tmp/deskplay-session-ABC/status.json";
  settings.sessionId = "ABC";
  settings.serverUrl = "wss://rooms.example.org";
  settings.dataDir = "/home/u/Documents/Deskplay";
  settings.desktopChangesPath = "/home/u/Library/Application Support/Deskplay/desktop-changes";
  return settings;
}

const Entries kAlways{
    {"DESKPLAY_PORT", "50123"},
    {"DESKPLAY_SUPERVISED", "1"},
    {"FRONDEL_SESSION_STATUS_PATH", "/tmp/deskplay-session-ABC/status.json"},
    {"FRONDEL_SESSION_ID", "ABC"},
    {"FRONDEL_SESSION_STATUS_SURFACE", "native"},
    {"GAME_SERVER_URL", "wss://rooms.example.org"},
    {"DESKPLAY_DATA_DIR", "/home/u/Documents/Deskplay"},
    {"FRONDEL_DESKTOP_CHANGES_PATH",
     "/home/u/Library/Application Support/Deskplay/desktop-changes"},
};

Entries with(Entries entries, const Entries& more) {
  for (const auto& [name, value] : more) entries[name] = value;
  return entries;
}

const Entries kPackagedOnly{
    {"FRONDEL_GLYPHON_PATH", "/R/frondel-bin/Glyphon"},
    {"FRONDEL_KEYHARK_PATH", "/R/frondel-bin/Keyhark"},
    {"FRONDEL_SONETTE_PATH", "/R/frondel-bin/Sonette"},
    {"FRONDEL_BURROWD_PATH", "/R/frondel-bin/Burrowd"},
};

TEST(EngineEnvironment, TableForBothLayouts) {
  const EngineLaunch development = DevelopmentLaunch{"/src/t", "a.ts"};
  const EngineLaunch packaged = PackagedLaunch{"/R", "/R/games/a"};
  auto muted = baseSettings();
  muted.soundsEnabled = false;
  auto soundsOn = baseSettings();
  soundsOn.soundsEnabled = true;
  auto soundsAsText = baseSettings();
  soundsAsText.soundsEnabled = "false";
  auto soundsAsNumber = baseSettings();
  soundsAsNumber.soundsEnabled = 0;
  auto tokens = baseSettings();
  tokens.sessionToken = "session-token";
  tokens.gameServerToken = "server-token";

  const struct {
    const char* name;
    EngineSettings settings;
    EngineLaunch launch;
    std::optional<std::string> path;
    Entries expected;
  } cases[] = {
      {"development: no PATH, no companions", baseSettings(), development, "/usr/local/bin",
       kAlways},
      {"sounds stored false mutes", muted, development, std::nullopt,
       with(kAlways, {{"DESKPLAY_MUTED", "1"}})},
      {"sounds stored true", soundsOn, development, std::nullopt, kAlways},
      {"sounds stored as text is not a boolean", soundsAsText, development, std::nullopt, kAlways},
      {"sounds stored as a number is not a boolean", soundsAsNumber, development, std::nullopt,
       kAlways},
      {"tokens when given", tokens, development, std::nullopt,
       with(kAlways,
            {{"DESKPLAY_SESSION_TOKEN", "session-token"}, {"GAME_SERVER_TOKEN", "server-token"}})},
      {"packaged appends the system tools to PATH", baseSettings(), packaged,
       "/opt/bin:/usr/local/bin",
       with(with(kAlways, kPackagedOnly),
            {{"PATH", "/opt/bin:/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin"}})},
      {"packaged without PATH", baseSettings(), packaged, std::nullopt,
       with(with(kAlways, kPackagedOnly), {{"PATH", "/usr/bin:/bin:/usr/sbin:/sbin"}})},
      {"packaged with an empty PATH", muted, packaged, "",
       with(with(kAlways, kPackagedOnly),
            {{"PATH", "/usr/bin:/bin:/usr/sbin:/sbin"}, {"DESKPLAY_MUTED", "1"}})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(engineEnvironment(c.settings, c.launch, c.path), c.expected) << c.name;
  }
}

TEST(MutedBySettings, OnlyAStoredFalse) {
  EXPECT_FALSE(mutedBySettings(std::nullopt));
  EXPECT_FALSE(mutedBySettings(platform::PreferenceValue(true)));
  EXPECT_TRUE(mutedBySettings(platform::PreferenceValue(false)));
  EXPECT_FALSE(mutedBySettings(platform::PreferenceValue("")));
}

}  // namespace
}  // namespace deskplay::core
