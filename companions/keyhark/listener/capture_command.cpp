#include "listener/capture_command.hpp"

#include <nlohmann/json.hpp>
#include <string>

namespace deskplay::keyhark {

namespace {

using nlohmann::json;

std::optional<bool> switchOf(const json& value) {
  if (value.is_boolean()) return value.get<bool>();
  if (value.is_number()) {
    const double number = value.get<double>();
    if (number == 0.0) return false;
    if (number == 1.0) return true;
  }
  return std::nullopt;
}

std::optional<std::vector<platform::Rect>> rectsOf(const json& value) {
  if (!value.is_array()) return std::nullopt;
  std::vector<platform::Rect> rects;
  for (const json& element : value) {
    if (!element.is_object()) return std::nullopt;
    for (const auto& member : element.items()) {
      if (!member.value().is_number()) return std::nullopt;
    }
    const auto x = element.find("x");
    const auto y = element.find("y");
    const auto width = element.find("width");
    const auto height = element.find("height");
    if (x == element.end() || y == element.end() || width == element.end() ||
        height == element.end()) {
      continue;
    }
    rects.push_back(platform::Rect{{x->get<double>(), y->get<double>()},
                                   {width->get<double>(), height->get<double>()}});
  }
  return rects;
}

}  // namespace

std::optional<CaptureCommand> parseCaptureCommand(std::string_view line) {
  const json object = json::parse(line, nullptr, /*allow_exceptions=*/false);
  if (!object.is_object()) return std::nullopt;
  CaptureCommand command;
  if (const auto drags = object.find("captureDesktopDrags"); drags != object.end()) {
    command.captureDesktopDrags = switchOf(*drags);
  }
  if (const auto rects = object.find("captureRects"); rects != object.end()) {
    command.captureRects = rectsOf(*rects);
  }
  return command;
}

void applyCaptureCommand(const CaptureCommand& command, CaptureSettings& settings,
                         LineOutput& status) {
  if (command.captureDesktopDrags) {
    settings.setCaptureDesktopDrags(*command.captureDesktopDrags);
    status.writeLine(*command.captureDesktopDrags ? "MOUSE_CAPTURE on" : "MOUSE_CAPTURE off");
  }
  if (command.captureRects) {
    const std::size_t count = command.captureRects->size();
    settings.setCaptureRects(*command.captureRects);
    status.writeLine("MOUSE_CAPTURE rects=" + std::to_string(count));
  }
}

void applyCaptureLine(std::string_view line, CaptureSettings& settings, LineOutput& status) {
  if (auto command = parseCaptureCommand(line)) applyCaptureCommand(*command, settings, status);
}

}  // namespace deskplay::keyhark
