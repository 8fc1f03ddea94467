#include "file_icons/extension_hidden.hpp"

#include "protocol/apple_script_escape.hpp"

namespace deskplay::glyphon {

namespace {

std::string asciiLowercased(std::string text) {
  for (char& c : text) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return text;
}

}  // namespace

Status setHiddenExtensionCocoa(platform::Workspace& workspace, const std::filesystem::path& path,
                               bool hidden) {
  return workspace.setExtensionVisibility(
      path, hidden ? platform::ExtensionVisibility::hidden : platform::ExtensionVisibility::shown);
}

void extensionHidden(const FileIconServices& services, const std::string& path,
                     const std::string& value) {
  const std::string lowered = asciiLowercased(value);
  const bool hidden = lowered == "true";
  const std::string flag = hidden ? "true" : "false";
  const Status set = setHiddenExtensionCocoa(services.workspace, path, hidden);
  if (set.ok()) {
    services.log.logLine("[ORVEL] extension_hidden cocoa ok path=" + path + " hidden=" + flag);
    return;
  }
  services.log.logLine("[ORVEL] extension_hidden cocoa error path=" + path + " hidden=" + flag +
                       " err=" + set.message());
  services.output.writeLine("COCOA_EXTENSION_ERROR:" + set.message(), OutputLines::Flush::withNext);
  // The value goes into the script unquoted, so only a boolean may go in.
  if (lowered != "true" && lowered != "false") {
    services.log.logLine("[ORVEL] extension_hidden script skipped path=" + path +
                         ": value is not true or false");
    return;
  }
  (void)services.scripts.runDetailed(
      "tell application \"Finder\" to set extension hidden of (POSIX file \"" +
      escapeAppleScript(path) + "\" as alias) to " + value);
}

}  // namespace deskplay::glyphon
