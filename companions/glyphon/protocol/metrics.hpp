#pragma once

#include <optional>
#include <string>

#include "platform/windows.hpp"
#include "protocol/apple_script_runner.hpp"
#include "protocol/output_lines.hpp"

namespace deskplay::glyphon {

// The screen that holds the frontmost application's largest ordinary (layer 0) window:
// the first screen whose frame contains that window's middle. Nothing when the frontmost
// application has no name, shows no such window, or the middle lies on no screen.
std::optional<platform::Screen> screenForFrontmostWindow(platform::Windows& windows);

// The "METRICS:<w>,<h>,<icon>" line: the size of the screen the game plays on (the screen of
// the frontmost window, else the main screen) and the desktop's icon size as Finder reports
// it (64 when it does not); "METRICS:1920,1080,64" when there is no screen at all.
std::string metricsLine(AppleScriptRunner& scripts, platform::Windows& windows);

// Prints "READY" and the metrics line, flushed together.
void announceReady(OutputLines& output, AppleScriptRunner& scripts, platform::Windows& windows);

}  // namespace deskplay::glyphon
