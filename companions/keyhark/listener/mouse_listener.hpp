#pragma once

#include <optional>

#include "listener/capture_settings.hpp"
#include "listener/desktop_lookup.hpp"
#include "listener/global_event_tap.hpp"
#include "listener/line_output.hpp"
#include "platform/clock.hpp"
#include "platform/event_taps.hpp"

namespace deskplay::keyhark {

// Mouse mode: turns presses, releases and drags into "mousedown", "mouseup", "click",
// "rightclick" and, for drags captured on Finder, "dragstart", "drag" and "dragend" lines.
// Control-clicks and right clicks are the game's and are swallowed; so is every event of a
// captured drag, so that Finder never moves the icon. Our own synthetic pointer events pass
// untouched. Main thread only; the capture settings may change from another thread.
class MouseListener {
 public:
  // Points between press and release, seconds between them, for a click.
  static constexpr double clickMaxDistance = 6.0;
  static constexpr double clickMaxDuration = 0.5;
  // Points of movement between two "drag" lines.
  static constexpr double dragEmitMinDistance = 2.0;

  MouseListener(GlobalEventTap& tap, const CaptureSettings& capture, DesktopLookup& lookup,
                const platform::Clock& clock, LineOutput& events)
      : tap_(tap), capture_(capture), lookup_(lookup), clock_(clock), events_(events) {}

  platform::TapVerdict mouseTapCallback(const platform::Event& event);

 private:
  struct MouseDown {
    double x = 0;
    double y = 0;
    double t = 0;  // seconds since 1970
  };

  platform::TapVerdict leftMouseDown(double x, double y, std::uint64_t flags);
  platform::TapVerdict leftMouseDragged(double x, double y);
  platform::TapVerdict leftMouseUp(double x, double y);
  platform::TapVerdict rightClick(double x, double y);

  GlobalEventTap& tap_;
  const CaptureSettings& capture_;
  DesktopLookup& lookup_;
  const platform::Clock& clock_;
  LineOutput& events_;

  std::optional<MouseDown> lastMouseDown_;
  bool capturingDrag_ = false;
  std::optional<platform::Point> lastDragEmit_;
  bool suppressNextLeftUp_ = false;
};

}  // namespace deskplay::keyhark
