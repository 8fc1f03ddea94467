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

// A whole coordinate is written as the platform's JSON writer does, without a fraction
// ("12", not "12.0"); any other as the shortest text that reads back the same.
nlohmann::ordered_json coordinate(double value) {
  constexpr double kLargestExactInteger = 9007199254740992.0;
  if (std::trunc(value) == value && std::fabs(value) <= kLargestExactInteger) {
    return static_cast<std::int64_t>(value);
  }
  return value;
}

}  // namespace

std::optional<std::string> keydownLine(std::int64_t keyCode, std::string_view characters) {
  return lineOf({{"type", "keydown"}, {"keyCode", keyCode}, {"char", characters}});
}

std::optional<std::string> mouseLine(std::string_view type, double x, double y,
                                     const std::optional<std::string>& target) {
  nlohmann::ordered_json object = {{"type", type}, {"x", coordinate(x)}, {"y", coordinate(y)}};
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
