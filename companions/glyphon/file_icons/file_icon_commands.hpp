#pragma once

#include <string>

#include "file_icons/file_icon_services.hpp"
#include "protocol/command.hpp"

namespace deskplay::glyphon {

// Custom file icons, one function per command.

// Answers `hasCustomIcon`, and `data` with the icon as Base64 PNG when there is one.
CommandAnswer iconGet(const FileIconServices& services, const std::string& path);
// Gives `path` the image file at `iconPath` as its custom icon.
CommandAnswer iconSetPath(const FileIconServices& services, const std::string& path,
                          const std::string& iconPath);
// Gives `path` the image in `iconData` (strict Base64) as its custom icon.
CommandAnswer iconSetData(const FileIconServices& services, const std::string& path,
                          const std::string& iconData);
// Removes the custom icon of `path`.
CommandAnswer iconClear(const FileIconServices& services, const std::string& path);
// Creates `path` as a new, empty file carrying the icon of the template `iconPath`.
CommandAnswer templateCopy(const std::string& iconPath, const std::string& path);

}  // namespace deskplay::glyphon
