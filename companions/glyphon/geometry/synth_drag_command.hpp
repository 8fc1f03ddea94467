#pragma once

#include "geometry/icon_geometry.hpp"
#include "geometry/synth_mouse_drag.hpp"
#include "platform/event_taps.hpp"
#include "protocol/command.hpp"
#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

// The `synth_drag` command: a synthetic drag at (x, y), or on the icon of `path`, refused
// while the user holds a mouse button or when the point is not on that icon; the pointer is
// put back where it was afterwards.
class SynthDragCommand {
 public:
  struct Services {
    IconGeometry& geometry;
    PointerSynthesis& pointer;
    platform::EventTaps& eventTaps;
    LogLines& log;
  };

  explicit SynthDragCommand(Services services) : services_(services) {}

  // Answers with `data` "x,y", the point used, each number truncated toward zero.
  CommandAnswer run(const Command& command);

 private:
  Services services_;
};

}  // namespace deskplay::glyphon
