#include "finder/view_settings_commands.hpp"

#include "common/trim.hpp"
#include "finder/arrangement.hpp"
#include "finder/ascii_case.hpp"
#include "finder/desktop_icon_size.hpp"
#include "finder/integer_text.hpp"
#include "finder/plist_buddy.hpp"
#include "finder/result_with.hpp"

namespace deskplay::glyphon {

namespace {

constexpr const char* kUnexpectedFinderResponse = "Unexpected Finder response";
const std::string kGridSpacingEntry = ":DesktopViewSettings:IconViewSettings:gridSpacing";

CommandAnswer answer(CommandResult result) {
  return CommandAnswer::success(std::move(result));
}

}  // namespace

CommandAnswer iconSize(const FinderServices& services) {
  services.log.logLine("[ORVEL] icon_size get");
  const DetailedScriptRun run = services.scripts.runDetailed(
      "tell application \"Finder\" to get icon size of icon view options of container window of "
      "desktop");
  if (run.error) return CommandAnswer::failure(*run.error);
  if (!run.result) return CommandAnswer::failure(kUnexpectedFinderResponse);
  return answer(resultWith(&CommandResult::iconSize, run.result->int32Value));
}

CommandAnswer iconSizeSet(const FinderServices& services, const std::optional<std::string>& value) {
  const std::optional<std::int64_t> size =
      value ? parseDecimalInteger(trimmedWhitespaceAndNewlines(*value)) : std::nullopt;
  if (!size) return CommandAnswer::failure("Missing icon size");
  services.log.logLine("[ORVEL] icon_size_set " + std::to_string(*size));
  const std::optional<std::int64_t> reported = applyDesktopIconSize(services, *size);
  if (!reported) return CommandAnswer::failure("icon size set could not be verified");
  return answer(resultWith(&CommandResult::iconSize, *reported));
}

CommandAnswer gridSpacing(const FinderServices& services) {
  services.log.logLine("[ORVEL] grid_spacing get");
  const PlistBuddyRun printed = runPlistBuddy(services, "Print " + kGridSpacingEntry);
  if (printed.error) return CommandAnswer::failure(*printed.error);
  const std::optional<std::string> text =
      printed.value ? printed.value : ensureFinderGridSpacingEntry(services);
  const std::optional<std::int64_t> spacing = text ? parseWholeNumber(*text) : std::nullopt;
  if (!spacing) return CommandAnswer::failure(kUnexpectedFinderResponse);
  return answer(resultWith(&CommandResult::gridSpacing, *spacing));
}

CommandAnswer gridSpacingSet(const FinderServices& services,
                             const std::optional<std::string>& value) {
  const std::optional<std::int64_t> spacing = value ? parseDecimalInteger(*value) : std::nullopt;
  if (!spacing) return CommandAnswer::failure("grid_spacing_set requires an integer value");
  const std::string n = std::to_string(*spacing);
  services.log.logLine("[ORVEL] grid_spacing_set " + n);
  (void)ensureFinderGridSpacingEntry(services);
  const PlistBuddyRun set = runPlistBuddy(services, "Set " + kGridSpacingEntry + " " + n);
  if (set.error) return CommandAnswer::failure(*set.error);
  services.log.logLine("[ORVEL] grid_spacing_set ok " + n);
  return answer(resultWith(&CommandResult::gridSpacing, *spacing));
}

CommandAnswer gridArrangementGet(const FinderServices& services) {
  services.log.logLine("[ORVEL] grid_arrangement_get");
  const DetailedScriptRun run = services.scripts.runDetailed(
      "tell application \"Finder\" to get arrangement of icon view options of container window of "
      "desktop");
  if (run.error) return CommandAnswer::failure(*run.error);
  std::string arrangement;
  if (run.result) arrangement = run.result->stringValue.value_or(run.result->description);
  return answer(resultWith(&CommandResult::gridArrangement, arrangement));
}

CommandAnswer gridArrangementSet(const FinderServices& services, const std::string& value) {
  const ScriptArrangement arrangement = scriptArrangement(value);
  const DetailedScriptRun run = services.scripts.runDetailed(setArrangementScript(arrangement));
  if (run.error) return CommandAnswer::failure(*run.error);
  return answer(resultWith(&CommandResult::gridArrangement, std::string(arrangement.name)));
}

CommandAnswer desktopLabels(const FinderServices& services, const std::string& loweredValue) {
  if (loweredValue == "status") {
    const DetailedScriptRun run = services.scripts.runDetailed(
        "tell application \"Finder\" to get shows item info of icon view options of container "
        "window of desktop");
    if (run.error) return CommandAnswer::failure(*run.error);
    if (!run.result) return CommandAnswer::failure(kUnexpectedFinderResponse);
    const std::string text = asciiLowercased(run.result->stringValue.value_or(""));
    const bool visible = text == "true"    ? true
                         : text == "false" ? false
                                           : run.result->int32Value != 0;
    return answer(resultWith(&CommandResult::desktopLabelsVisible, visible));
  }
  // Only a fixed word goes into the script, whatever the caller let through.
  const bool visible = loweredValue == "true";
  const DetailedScriptRun run = services.scripts.runDetailed(
      "tell application \"Finder\" to set shows item info of icon view options of container "
      "window of desktop to " +
      std::string(visible ? "true" : "false"));
  if (run.error) return CommandAnswer::failure(*run.error);
  return answer(resultWith(&CommandResult::desktopLabelsVisible, visible));
}

}  // namespace deskplay::glyphon
