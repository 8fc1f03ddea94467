#include "finder/plist_buddy.hpp"

#include "common/trim.hpp"
#include "finder/process_run.hpp"

namespace deskplay::glyphon {

namespace {

std::string trimmed(const std::optional<std::string>& text) {
  if (!text) return {};
  return std::string(trimmedWhitespaceAndNewlines(*text));
}

}  // namespace

PlistBuddyRun runPlistBuddy(const FinderServices& services, const std::string& command) {
  const bool printing = command.starts_with("Print ");
  // macOS always has the preferences folder; a fresh home elsewhere may not, and PlistBuddy
  // creates the file but not its folder.
  if (!printing) {
    std::error_code ignored;
    std::filesystem::create_directories(services.preferencesFile.parent_path(), ignored);
  }
  const ProcessRun run =
      runProcess(services.tools.plistBuddy, {"-c", command, services.preferencesFile.string()});
  if (run.exitStatus == 0) {
    if (!run.standardOutput) return {};
    return {trimmed(run.standardOutput), std::nullopt};
  }
  if (printing) return {};
  if (std::string error = trimmed(run.standardError); !error.empty()) return {std::nullopt, error};
  if (std::string output = trimmed(run.standardOutput); !output.empty()) {
    return {std::nullopt, output};
  }
  return {std::nullopt, "PlistBuddy failed"};
}

std::optional<std::string> ensureFinderGridSpacingEntry(const FinderServices& services) {
  // Each Add fails harmlessly when its entry is already there.
  (void)runPlistBuddy(services, "Add :DesktopViewSettings dict");
  (void)runPlistBuddy(services, "Add :DesktopViewSettings:IconViewSettings dict");
  (void)runPlistBuddy(services, "Add :DesktopViewSettings:IconViewSettings:gridSpacing real 64.0");
  return runPlistBuddy(services, "Print :DesktopViewSettings:IconViewSettings:gridSpacing").value;
}

}  // namespace deskplay::glyphon
