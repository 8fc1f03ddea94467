#pragma once

#include <optional>
#include <vector>

#include "platform/geometry.hpp"
#include "platform/windows.hpp"
#include "ui/menubar/popup_alignment.hpp"

namespace deskplay::ui {

// The panel's frame (bottom-left origin) under a status item whose button window stands at
// `buttonWindow`: its top edge at the bottom of the menu bar, its x by `alignment`, kept on the
// visible frame `visible` by `clipping`.
platform::Rect panelFrame(const platform::Rect& buttonWindow, platform::Size panel,
                          const platform::Rect& visible, PopUpAlignment alignment,
                          ScreenClippingBehaviour clipping);

// The visible frame of the screen that holds the button window's centre; the first screen's
// when none does; nothing without screens.
std::optional<platform::Rect> visibleFrameAround(const platform::Rect& buttonWindow,
                                                 const std::vector<platform::Screen>& screens);

}  // namespace deskplay::ui
