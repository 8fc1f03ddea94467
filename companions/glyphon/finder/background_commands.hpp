#pragma once

#include <string>

#include "finder/finder_services.hpp"
#include "protocol/command.hpp"

namespace deskplay::glyphon {

// The desktop picture. Answers `data`, the picture's path.
CommandAnswer backgroundGet(const FinderServices& services);
// Makes the picture at `path` the desktop picture.
CommandAnswer backgroundSetPath(const FinderServices& services, const std::string& path);

}  // namespace deskplay::glyphon
