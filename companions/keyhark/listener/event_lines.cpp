#include "listener/event_lines.hpp"

#include <cmath>

#include "common/json_line.hpp"

namespace deskplay::keyhark {

namespace {

std::optional<std::string> lineOf(const nlohmann::ordered_json& object) {
  std::string text;
  if (!appendJson(text, object, JsonStyle{KeyOrder::AsGiven, SlashEscaping::Backslashed}).ok()) {
    return std::nullopt;
  }
  return text;
}

}  // namespace

std::optional<std::string> keydownLine(std::int64_t keyCode, std::string_view characters) {
  return lineOf({{"type", "keydown"}, {"keyCode", keyCode}, {"char", characters}});
}

std::optional<std::string> mouseLine(std::string_view type, double x, double y,
                                     const std::optional<std::string>& target) {
  // JSON has no spelling for NaN or an infinity: such a location cannot be reported.
  if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
  nlohmann::ordered_json object = {{"type", type}, {"x", jsonNumber(x)}, {"y", jsonNumber(y)}};
  if (target) object["target"] = *target;
  return lineOf(object);
}

void emitKeydown(LineOutput& events, std::int64_t keyCode, std::string_view characters) {
  if (auto line = keydownLine(keyCode, characters)) events.writeLine(*line);
}

void emitMouse(LineOutput& events, std::string_view type, double x, double y,
               const std::optional<std::string>& target) {
  if (auto line = mouseLine(type, x, y, target)) events.writeLine(*line);
}

}  // namespace deskplay::keyhark
