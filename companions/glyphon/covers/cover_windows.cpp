#include "covers/cover_windows.hpp"

#include <vector>

#include "covers/app_kit_rect.hpp"
#include "covers/ns_color_from_hex.hpp"
#include "protocol/whole_number_text.hpp"

namespace deskplay::glyphon {

namespace {

// The first screen that shows part of `frame`; the number of screens when none does.
std::size_t screenIndexOf(const std::vector<platform::Screen>& screens,
                          const platform::Rect& frame) {
  for (std::size_t index = 0; index < screens.size(); ++index) {
    if (screens[index].frame.intersects(frame)) return index;
  }
  return screens.size();
}

}  // namespace

platform::WindowTraits CoverWindows::coverTraits(std::string_view hex) {
  namespace behavior = platform::collection_behavior;
  platform::WindowTraits traits;
  // Just above the icons, so that ordinary windows (and the status panel) stay above it.
  traits.level = windows_.windowLevelForKey(platform::WindowLevelKey::desktopIcon) + 1;
  traits.background = nsColorFromHex(hex);
  traits.opaque = true;
  traits.hasShadow = false;
  // The cover takes the clicks, so the user cannot grab the icons it hides.
  traits.ignoresMouseEvents = false;
  traits.acceptsMouseMovedEvents = false;
  traits.movableByWindowBackground = false;
  traits.collectionBehavior =
      behavior::canJoinAllSpaces | behavior::stationary | behavior::ignoresCycle;
  traits.hidesOnDeactivate = false;
  // A borderless window never becomes key or main.
  traits.becomesKeyOrMain = false;
  return traits;
}

void CoverWindows::applyCover(double x, double y, double w, double h, std::string_view hex,
                              const std::string& owner) {
  const std::vector<platform::Screen> screens = windows_.screens();
  const platform::Rect frame = appKitRect(screens, x, y, w, h);

  auto found = coverWindows_.find(owner);
  if (found != coverWindows_.end()) {
    found->second->setFrame(frame, platform::Redraw::now);
  } else {
    found = coverWindows_
                .emplace(owner, windows_.createWindow(
                                    platform::WindowSpec{frame, platform::window_style::borderless,
                                                         platform::WindowSpec::Kind::window}))
                .first;
  }
  platform::Window& cover = *found->second;
  cover.configure(coverTraits(hex));
  cover.orderFrontRegardless();

  log_.logLine("[ORVEL] cover_set rect=" + truncatedIntegerText(frame.origin.x) + "," +
               truncatedIntegerText(frame.origin.y) + " " + truncatedIntegerText(frame.size.width) +
               "x" + truncatedIntegerText(frame.size.height) + " color=" + std::string(hex) +
               " screen=" + std::to_string(screenIndexOf(screens, frame)) +
               " level=" + std::to_string(cover.traits().level));
}

void CoverWindows::clearCover(const std::string& owner) {
  const auto found = coverWindows_.find(owner);
  if (found != coverWindows_.end()) {
    const std::unique_ptr<platform::Window> cover = std::move(found->second);
    coverWindows_.erase(found);
    cover->orderOut();
  }
  log_.logLine("[ORVEL] cover_clear");
}

const platform::Window* CoverWindows::cover(std::string_view owner) const {
  const auto found = coverWindows_.find(owner);
  return found == coverWindows_.end() ? nullptr : found->second.get();
}

}  // namespace deskplay::glyphon
