#include "protocol/metrics.hpp"

#include <cstdint>
#include <optional>

namespace deskplay::glyphon {

namespace {

constexpr const char* kIconSizeScript =
    "tell application \"Finder\" to get icon size of icon view options of window of desktop";

// Truncated toward zero, as a conversion to an integer does; sizes beyond any display clamp.
std::int64_t truncated(double length) {
  constexpr double kLimit = 1e15;
  if (!(length > -kLimit)) return static_cast<std::int64_t>(-kLimit);
  if (!(length < kLimit)) return static_cast<std::int64_t>(kLimit);
  return static_cast<std::int64_t>(length);
}

}  // namespace

std::string metricsLine(AppleScriptRunner& scripts, platform::Windows& windows) {
  const DetailedScriptRun run = scripts.runDetailed(kIconSizeScript);
  const std::int32_t iconSize = run.result ? run.result->int32Value : 64;

  const std::optional<platform::Screen> screen = windows.mainScreen();
  if (!screen) return "METRICS:1920,1080,64";
  return "METRICS:" + std::to_string(truncated(screen->frame.size.width)) + "," +
         std::to_string(truncated(screen->frame.size.height)) + "," + std::to_string(iconSize);
}

void announceReady(OutputLines& output, AppleScriptRunner& scripts, platform::Windows& windows) {
  output.writeLine("READY", OutputLines::Flush::withNext);
  output.writeLine(metricsLine(scripts, windows), OutputLines::Flush::now);
}

}  // namespace deskplay::glyphon
