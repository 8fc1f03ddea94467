#include "finder/testing/recording_glyphon_io.hpp"

namespace deskplay::glyphon {

void PrintTo(const CommandAnswer& answer, std::ostream* out) {
  if (!answer.ok) {
    *out << "failure \"" << answer.error.value_or("") << '"';
    return;
  }
  *out << "success";
  if (!answer.result) return;
  const CommandResult& result = *answer.result;
  *out << " {";
  if (result.hasCustomIcon) *out << " hasCustomIcon=" << *result.hasCustomIcon;
  if (result.data) *out << " data=\"" << *result.data << '"';
  if (result.desktopLabelsVisible) *out << " desktopLabelsVisible=" << *result.desktopLabelsVisible;
  if (result.gridSpacing) *out << " gridSpacing=" << *result.gridSpacing;
  if (result.iconSize) *out << " iconSize=" << *result.iconSize;
  if (result.gridArrangement) *out << " gridArrangement=\"" << *result.gridArrangement << '"';
  *out << " }";
}

}  // namespace deskplay::glyphon

namespace deskplay::glyphon::testing {

DetailedScriptRun HostScriptRunner::runDetailed(const std::string& source) {
  const platform::ScriptRun run = host_.run(source);
  if (run.outcome == platform::ScriptRun::Outcome::compileFailed) {
    return {std::nullopt, "Failed to compile AppleScript"};
  }
  if (run.outcome == platform::ScriptRun::Outcome::succeeded) return {run.result, std::nullopt};
  const std::string error = run.error.message  ? *run.error.message
                            : run.error.number ? std::to_string(*run.error.number)
                                               : run.error.description;
  output_.writeLine("FINDER_SCRIPT_ERROR:" + error, OutputLines::Flush::now);
  return {std::nullopt, error};
}

}  // namespace deskplay::glyphon::testing
