#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/result.hpp"

namespace deskplay::plistbuddy {

enum class Verb { print, set, add };

// One -c command, parsed. `entry` is kept as written (quotes removed) because the tool's
// messages quote it that way.
struct Command {
  Verb verb = Verb::print;
  std::string entry;
  std::string type;
  std::optional<std::string> value;
};

// Verbs are matched without regard to case ("print" works as well as "Print"). A value
// made of several words is those words joined by single spaces. Errors carry the tool's
// message: "Unrecognized Command" or "Invalid Arguments".
Result<Command> parseCommand(std::string_view text);

// The verb as the tool spells it in its messages ("Print", "Set", "Add").
std::string_view verbName(Verb verb);

}  // namespace deskplay::plistbuddy
