#include "finder/restart_finder.hpp"

#include <cstdint>
#include <optional>
#include <string>

#include "finder/arrangement.hpp"
#include "finder/ascii_case.hpp"
#include "finder/desktop_icon_size.hpp"
#include "finder/desktop_icon_view_settings.hpp"
#include "finder/process_run.hpp"

namespace deskplay::glyphon {

namespace {

using platform::PreferenceDictionary;

constexpr int kReadinessTries = 20;
constexpr platform::Clock::Seconds kReadinessPause{0.5};

std::string orNil(const std::optional<std::int64_t>& value) {
  return value ? std::to_string(*value) : "nil";
}

std::string orNil(const std::optional<std::string>& value) {
  return value.value_or("nil");
}

bool labelOnRight(const std::string& labelPosition) {
  return asciiLowercased(labelPosition).find("right") != std::string::npos;
}

PreferenceDictionary settingsOf(const Command& command) {
  PreferenceDictionary settings;
  if (command.gridSpacing) settings["gridSpacing"] = static_cast<double>(*command.gridSpacing);
  if (command.iconSize) settings["iconSize"] = static_cast<double>(*command.iconSize);
  if (command.textSize) settings["textSize"] = *command.textSize;
  if (command.labelPosition) settings["labelOnBottom"] = !labelOnRight(*command.labelPosition);
  if (command.gridArrangement) {
    settings["arrangeBy"] = std::string(arrangeByPreference(*command.gridArrangement));
  }
  return settings;
}

void writeSettings(const FinderServices& services, const PreferenceDictionary& settings) {
  if (settings.empty()) return;
  if (writeDesktopIconViewSettings(services.preferences, settings)) {
    services.log.logLine("[ORVEL] restart_finder prefs set via cfprefsd: " +
                         describeSettings(settings));
  } else {
    services.log.logLine("[ORVEL] restart_finder prefs synchronize FAILED for: " +
                         describeSettings(settings));
  }
}

bool waitForFinder(const FinderServices& services) {
  for (int attempt = 0; attempt < kReadinessTries; ++attempt) {
    services.clock.sleepFor(kReadinessPause);
    if (services.scripts.runDetailed("tell application \"Finder\" to name of startup disk")
            .result) {
      return true;
    }
  }
  return false;
}

// Runs a step's script and logs "<done>" or "<failed>: <error>".
void runLogged(const FinderServices& services, const std::string& script, const std::string& done,
               const std::string& failed) {
  const DetailedScriptRun run = services.scripts.runDetailed(script);
  services.log.logLine(run.error ? failed + ": " + *run.error : done);
}

}  // namespace

CommandAnswer restartFinder(const FinderServices& services, const Command& command) {
  services.log.logLine(
      "[ORVEL] restart_finder gridSpacing=" + orNil(command.gridSpacing) +
      " iconSize=" + orNil(command.iconSize) + " arrangement=" + orNil(command.gridArrangement) +
      " textSize=" + orNil(command.textSize) + " labelPosition=" + orNil(command.labelPosition));
  writeSettings(services, settingsOf(command));

  (void)runProcess(services.tools.killall, {"Finder"});
  (void)runProcess(services.tools.open, {"-a", "Finder"});
  if (!waitForFinder(services)) {
    services.log.logLine("[ORVEL] restart_finder timeout");
    return CommandAnswer::failure("Finder did not become ready after restart");
  }

  if (command.iconSize) (void)applyDesktopIconSize(services, *command.iconSize);
  if (command.textSize) {
    const std::string n = std::to_string(*command.textSize);
    runLogged(services,
              "tell application \"Finder\" to set text size of icon view options of container "
              "window of desktop to " +
                  n,
              "[ORVEL] restart_finder textSize set " + n, "[ORVEL] restart_finder textSize error");
  }
  if (command.labelPosition) {
    const std::string position = labelOnRight(*command.labelPosition) ? "right" : "bottom";
    runLogged(services,
              "tell application \"Finder\" to set label position of icon view options of "
              "container window of desktop to " +
                  position,
              "[ORVEL] restart_finder labelPosition set " + position,
              "[ORVEL] restart_finder labelPosition error");
  }
  if (command.gridArrangement) {
    const ScriptArrangement arrangement = scriptArrangement(*command.gridArrangement);
    runLogged(services, setArrangementScript(arrangement),
              "[ORVEL] restart_finder arrangement set " + std::string(arrangement.name),
              "[ORVEL] restart_finder arrangement error");
  }
  runLogged(services, "tell application \"Finder\" to close every window",
            "[ORVEL] restart_finder closed Finder windows",
            "[ORVEL] restart_finder close windows error");
  runLogged(services,
            "tell application \"System Events\" to set visible of (every process whose visible "
            "is true and name is not \"Finder\") to false",
            "[ORVEL] restart_finder hid other apps", "[ORVEL] restart_finder hide others error");

  services.log.logLine("[ORVEL] restart_finder ok");
  CommandResult given;
  given.gridSpacing = command.gridSpacing;
  given.iconSize = command.iconSize;
  given.gridArrangement = command.gridArrangement;
  return CommandAnswer::success(std::move(given));
}

}  // namespace deskplay::glyphon
