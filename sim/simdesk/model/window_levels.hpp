#pragma once

#include "platform/windows.hpp"

namespace deskplay::simdesk {

// The window server's levels, with macOS's numbers (CGWindowLevelForKey).
namespace levels {
inline constexpr int desktop = -2147483623;      // kCGDesktopWindowLevel
inline constexpr int desktopIcon = -2147483603;  // kCGDesktopIconWindowLevel
inline constexpr int normal = 0;
inline constexpr int floating = 3;
inline constexpr int modalPanel = 8;
inline constexpr int dock = 20;
inline constexpr int mainMenu = 24;
inline constexpr int status = 25;
inline constexpr int popUpMenu = 101;
inline constexpr int screenSaver = 1000;
}  // namespace levels

int levelForKey(platform::WindowLevelKey key);

}  // namespace deskplay::simdesk
