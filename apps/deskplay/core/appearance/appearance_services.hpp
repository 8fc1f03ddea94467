#pragma once

#include <functional>
#include <vector>

#include "core/appearance/desktop_appearance.hpp"
#include "platform/clock.hpp"
#include "platform/preferences.hpp"
#include "platform/script_host.hpp"

namespace deskplay::core {

// Where Finder shows the icons of the Desktop's items now, one per name.
using DesktopIconPlaces = std::function<std::vector<IconPosition>()>;

// The ports through which the desktop's look is read and put back: Finder and System Events
// by script, Finder's stored settings through the preferences, where the icons are, and the
// clock for the waits while Finder relaunches. All must outlive their users.
struct AppearanceServices {
  platform::ScriptHost& scripts;
  platform::Preferences& preferences;
  platform::Clock& clock;
  DesktopIconPlaces iconPlaces;
};

}  // namespace deskplay::core
