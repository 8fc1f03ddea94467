#pragma once

#include "finder/finder_services.hpp"
#include "protocol/command.hpp"

namespace deskplay::glyphon {

// Writes the command's desktop view settings (gridSpacing, iconSize, textSize,
// gridArrangement, labelPosition; each optional) into Finder's preferences, restarts Finder,
// waits up to ten seconds for it, then applies the settings that Finder also takes by script,
// closes its windows and hides the other applications. Only the wait can fail the command;
// it answers the given gridSpacing, iconSize and gridArrangement.
CommandAnswer restartFinder(const FinderServices& services, const Command& command);

}  // namespace deskplay::glyphon
