#include "protocol/metrics.hpp"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

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

std::string lowercased(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return lowered;
}

// A window belongs to the application when the owner's name equals the application's name or
// one holds the other; an empty name holds nothing and is held by nothing.
bool ownerMatches(const std::string& owner, const std::string& application) {
  if (owner == application) return true;
  if (owner.empty() || application.empty()) return false;
  return owner.find(application) != std::string::npos ||
         application.find(owner) != std::string::npos;
}

}  // namespace

std::optional<platform::Screen> screenForFrontmostWindow(platform::Windows& windows) {
  const std::optional<platform::RunningApplication> frontmost = windows.frontmostApplication();
  if (!frontmost || !frontmost->localizedName) return std::nullopt;
  const std::string application = lowercased(*frontmost->localizedName);

  const std::vector<platform::WindowInfo> onScreen = windows.onScreenWindows();
  const platform::WindowInfo* largest = nullptr;
  double largestArea = 0;
  for (const platform::WindowInfo& window : onScreen) {
    if (window.layer != 0 || !ownerMatches(lowercased(window.ownerName), application)) continue;
    const double area = window.bounds.size.width * window.bounds.size.height;
    // Of equally large windows the first one listed stays.
    if (largest == nullptr || area > largestArea) {
      largest = &window;
      largestArea = area;
    }
  }
  if (largest == nullptr) return std::nullopt;

  // The window list counts from the top left, screen frames from the bottom left; the middle
  // is tested against the frames as it is, without converting.
  const platform::Point middle{largest->bounds.origin.x + largest->bounds.size.width / 2,
                               largest->bounds.origin.y + largest->bounds.size.height / 2};
  for (const platform::Screen& screen : windows.screens()) {
    if (screen.frame.contains(middle)) return screen;
  }
  return std::nullopt;
}

std::string metricsLine(AppleScriptRunner& scripts, platform::Windows& windows) {
  const DetailedScriptRun run = scripts.runDetailed(kIconSizeScript);
  const std::int32_t iconSize = run.result ? run.result->int32Value : 64;

  std::optional<platform::Screen> screen = screenForFrontmostWindow(windows);
  if (!screen) screen = windows.mainScreen();
  if (!screen) return "METRICS:1920,1080,64";
  return "METRICS:" + std::to_string(truncated(screen->frame.size.width)) + "," +
         std::to_string(truncated(screen->frame.size.height)) + "," + std::to_string(iconSize);
}

void announceReady(OutputLines& output, AppleScriptRunner& scripts, platform::Windows& windows) {
  output.writeLine("READY", OutputLines::Flush::withNext);
  output.writeLine(metricsLine(scripts, windows), OutputLines::Flush::now);
}

}  // namespace deskplay::glyphon
