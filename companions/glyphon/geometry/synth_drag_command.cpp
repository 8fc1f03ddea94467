#include "geometry/synth_drag_command.hpp"

#include <optional>
#include <string>

#include "geometry/path_text.hpp"
#include "protocol/whole_number_text.hpp"

namespace deskplay::glyphon {

CommandAnswer SynthDragCommand::run(const Command& command) {
  std::optional<platform::Point> point;
  if (command.x && command.y) {
    point = platform::Point{*command.x, *command.y};
  } else if (command.path) {
    point = services_.geometry.iconScreenCenter(lastPathComponent(*command.path));
  }
  if (!point) return CommandAnswer::failure("synth_drag needs (x,y) or a findable path");

  using Button = platform::EventTaps::MouseButton;
  if (services_.eventTaps.isButtonDown(Button::left) ||
      services_.eventTaps.isButtonDown(Button::right)) {
    return CommandAnswer::failure("synth_drag interrupted by user pointer");
  }
  if (command.path && !services_.geometry.pointHitsFile(*point, *command.path)) {
    return CommandAnswer::failure("synth_drag target mismatch");
  }

  const std::optional<platform::Point> userPointer = services_.eventTaps.pointerLocation();
  services_.pointer.synthMouseDrag(*point);
  if (userPointer) (void)services_.eventTaps.warpPointer(*userPointer);

  const std::string where = truncatedIntegerText(point->x) + "," + truncatedIntegerText(point->y);
  services_.log.logLine("[ORVEL] synth_drag at " + where);
  CommandResult result;
  result.data = where;
  return CommandAnswer::success(std::move(result));
}

}  // namespace deskplay::glyphon
