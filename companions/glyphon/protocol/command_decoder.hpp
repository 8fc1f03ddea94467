#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <variant>

#include "protocol/command.hpp"

namespace deskplay::glyphon {

// A line that is no valid command: why, and the `id` it carried when it is at least a JSON
// object with a string `id`, so that the sender can still be told.
struct UndecodableLine {
  std::string description;
  std::optional<std::string> id;
};

using DecodedLine = std::variant<Command, UndecodableLine>;

// Decodes one input line (without its terminator) strictly: a JSON object with a string
// `type`; every other listed key may be absent or null and otherwise must have its type
// (integer keys take whole numbers only, number keys finite numbers only); unlisted keys
// are ignored. Text must be valid UTF-8.
DecodedLine decodeCommand(std::string_view line);

}  // namespace deskplay::glyphon
