#pragma once

#include <optional>
#include <string>

#include "protocol/command.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// The "ICON:" line answering command `id` with `answer`: compact JSON with the members id,
// ok, result and error, the last two only when present. Nothing when the answer cannot be
// written as valid UTF-8 text.
std::optional<std::string> iconResponseLine(const std::string& id, const CommandAnswer& answer);

// Prints the answer to command `id` and flushes it; prints nothing when it cannot be encoded.
void sendIconResponse(OutputLines& output, const std::string& id, const CommandAnswer& answer);

}  // namespace deskplay::glyphon
