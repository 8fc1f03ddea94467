#pragma once

#include <string>

namespace deskplay::testing {

// Whether `name` is one of a game's tile names: thin and hair spaces only, so its icon shows
// no label.
bool isTileName(const std::string& name);

}  // namespace deskplay::testing
