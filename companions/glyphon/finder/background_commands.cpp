#include "finder/background_commands.hpp"

#include "finder/result_with.hpp"
#include "protocol/apple_script_escape.hpp"

namespace deskplay::glyphon {

CommandAnswer backgroundGet(const FinderServices& services) {
  const DetailedScriptRun run = services.scripts.runDetailed(
      "tell application \"System Events\" to get picture of current desktop");
  if (run.error) {
    services.log.logLine("[ORVEL] background_get error " + *run.error);
    return CommandAnswer::failure(*run.error);
  }
  if (run.result && run.result->stringValue) {
    services.log.logLine("[ORVEL] background_get ok " + *run.result->stringValue);
    return CommandAnswer::success(resultWith(&CommandResult::data, *run.result->stringValue));
  }
  services.log.logLine("[ORVEL] background_get unexpected response");
  return CommandAnswer::failure("Unexpected background response");
}

CommandAnswer backgroundSetPath(const FinderServices& services, const std::string& path) {
  const DetailedScriptRun run = services.scripts.runDetailed(
      "tell application \"System Events\" to set picture of current desktop to POSIX file \"" +
      escapeAppleScript(path) + "\"");
  if (run.error) {
    services.log.logLine("[ORVEL] background_set_path error " + *run.error);
    return CommandAnswer::failure(*run.error);
  }
  services.log.logLine("[ORVEL] background_set_path ok " + path);
  return CommandAnswer::success();
}

}  // namespace deskplay::glyphon
