#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "listener/capture_settings.hpp"
#include "listener/line_output.hpp"
#include "platform/geometry.hpp"

namespace deskplay::keyhark {

// One line of standard input in mouse mode: the keys it sets, each only when its value has
// the right shape.
struct CaptureCommand {
  std::optional<bool> captureDesktopDrags;
  std::optional<std::vector<platform::Rect>> captureRects;

  friend bool operator==(const CaptureCommand&, const CaptureCommand&) = default;
};

// Nothing when the line is not a JSON object.
// - "captureDesktopDrags": true or false, or the numbers 0 and 1; other values are ignored.
// - "captureRects": an array of objects whose values are all numbers; each object with
//   "x", "y", "width" and "height" is one rectangle, others are skipped. Any other shape
//   (an element that is not an object, a value that is not a number) is ignored.
std::optional<CaptureCommand> parseCaptureCommand(std::string_view line);

// Applies the drag switch, then the rectangles, each followed by its status line
// ("MOUSE_CAPTURE on", "MOUSE_CAPTURE off", "MOUSE_CAPTURE rects=" and the count).
void applyCaptureCommand(const CaptureCommand& command, CaptureSettings& settings,
                         LineOutput& status);

// One line of standard input: applied when it is a JSON object, else ignored without a word.
void applyCaptureLine(std::string_view line, CaptureSettings& settings, LineOutput& status);

}  // namespace deskplay::keyhark
