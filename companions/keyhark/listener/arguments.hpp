#pragma once

#include <string>
#include <vector>

namespace deskplay::keyhark {

enum class Mode { permissionCheck, keyboard, mouse };

// "--check" anywhere wins; else "--mouse-only" anywhere picks mouse mode; anything else is
// ignored. Only exact matches count.
Mode modeFromArguments(const std::vector<std::string>& arguments);

}  // namespace deskplay::keyhark
