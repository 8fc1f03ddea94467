#pragma once

#include <filesystem>
#include <string>

#include "common/result.hpp"
#include "file_icons/file_icon_services.hpp"

namespace deskplay::glyphon {

// Hides or shows the name extension of `path`; the error is the file system's.
Status setHiddenExtensionCocoa(platform::Workspace& workspace, const std::filesystem::path& path,
                               bool hidden);

// Hides the extension when `value` is "true" in any case, else shows it. When that fails the
// error goes to the log and the output, and Finder is asked by script instead. Never
// answered.
void extensionHidden(const FileIconServices& services, const std::string& path,
                     const std::string& value);

}  // namespace deskplay::glyphon
