#pragma once

#include <nlohmann/json.hpp>
#include <string>

namespace deskplay::simdesk::ctl {

// One element bundle as a line for people: role, name or title, position, size, handle.
// AXImage "a.txt" at (1352, 40) size 64x77 #0x500000000000001
std::string elementLine(const nlohmann::json& bundle);

// A nested tree (bundles with "children"), two spaces of indent per level.
std::string treeText(const nlohmann::json& tree);

}  // namespace deskplay::simdesk::ctl
