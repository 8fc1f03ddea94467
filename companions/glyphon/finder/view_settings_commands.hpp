#pragma once

#include <optional>
#include <string>

#include "finder/finder_services.hpp"
#include "protocol/command.hpp"

namespace deskplay::glyphon {

// The desktop's icon view settings, one function per command.

// Answers `iconSize`.
CommandAnswer iconSize(const FinderServices& services);
// `value`: the size in decimal, white space around it allowed. Answers `iconSize` as Finder
// reported it last, which may differ from the request.
CommandAnswer iconSizeSet(const FinderServices& services, const std::optional<std::string>& value);

// Answers `gridSpacing`, creating the entry (64) when there is none.
CommandAnswer gridSpacing(const FinderServices& services);
// `value`: the spacing in decimal, nothing around it. Takes effect at Finder's next start.
CommandAnswer gridSpacingSet(const FinderServices& services,
                             const std::optional<std::string>& value);

// Answers `gridArrangement` as Finder gives it.
CommandAnswer gridArrangementGet(const FinderServices& services);
// Answers `gridArrangement`, the arrangement that was set.
CommandAnswer gridArrangementSet(const FinderServices& services, const std::string& value);

// `loweredValue`: "true", "false" (show or hide the item info under the icons) or "status".
// Answers `desktopLabelsVisible`.
CommandAnswer desktopLabels(const FinderServices& services, const std::string& loweredValue);

}  // namespace deskplay::glyphon
