#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "listener/line_output.hpp"

namespace deskplay::keyhark {

// The event lines of standard output, as JSON objects without whitespace and with "/"
// written as "\/". Nothing when the event cannot be written as JSON (text that is not UTF-8,
// a coordinate that is NaN or infinite): such an event is dropped.
std::optional<std::string> keydownLine(std::int64_t keyCode, std::string_view characters);
std::optional<std::string> mouseLine(std::string_view type, double x, double y,
                                     const std::optional<std::string>& target);

// Writes the line, if it can be written, to `events`.
void emitKeydown(LineOutput& events, std::int64_t keyCode, std::string_view characters);
void emitMouse(LineOutput& events, std::string_view type, double x, double y,
               const std::optional<std::string>& target = std::nullopt);

}  // namespace deskplay::keyhark
