#pragma once

#include <string_view>

namespace deskplay::applescript {

// The commands a script can send to an application besides get and set.
enum class Command { count, exists, activate, quit, close, update };

std::string_view commandName(Command command);

}  // namespace deskplay::applescript
