#pragma once

#include <cstdint>
#include <optional>

#include "finder/finder_services.hpp"

namespace deskplay::glyphon {

// Finder takes a new desktop icon size only now and then, so it is set and read back up to
// six times, 0.15 s apart. Gives the size Finder reported last (`size` once confirmed), or
// nothing when no read-back gave one.
std::optional<std::int64_t> applyDesktopIconSize(const FinderServices& services, std::int64_t size);

}  // namespace deskplay::glyphon
