#include "finder/desktop_icon_size.hpp"

#include <string>

namespace deskplay::glyphon {

namespace {

constexpr int kAttempts = 6;
constexpr platform::Clock::Seconds kPauseBetweenAttempts{0.15};

}  // namespace

std::optional<std::int64_t> applyDesktopIconSize(const FinderServices& services,
                                                 std::int64_t size) {
  const std::string n = std::to_string(size);
  const std::string setOnContainerWindow =
      "tell application \"Finder\" to set icon size of icon view options of container window of "
      "desktop to " +
      n;
  const std::string setOnWindow =
      "tell application \"Finder\" to set icon size of icon view options of window of desktop "
      "to " +
      n;
  const std::string readBack =
      "tell application \"Finder\" to get icon size of icon view options of container window of "
      "desktop";

  std::optional<std::int64_t> reported;
  for (int attempt = 1; attempt <= kAttempts; ++attempt) {
    (void)services.scripts.runDetailed(setOnContainerWindow);
    (void)services.scripts.runDetailed(setOnWindow);
    const DetailedScriptRun read = services.scripts.runDetailed(readBack);
    const std::string ofAttempts = std::to_string(attempt) + "/" + std::to_string(kAttempts);
    if (read.result && read.result->int32Value == size) {
      services.log.logLine("[ORVEL] icon size set " + n + " confirmed on attempt " +
                           std::to_string(attempt));
      return size;
    }
    if (read.result) {
      reported = read.result->int32Value;
      services.log.logLine("[ORVEL] icon size set " + n + ", Finder reports " +
                           std::to_string(*reported) + " (attempt " + ofAttempts + ")");
    } else {
      services.log.logLine("[ORVEL] icon size set " + n + " readback failed (attempt " +
                           ofAttempts + ")");
    }
    if (attempt < kAttempts) services.clock.sleepFor(kPauseBetweenAttempts);
  }
  services.log.logLine("[ORVEL] icon size set " + n + " did not converge; Finder reports " +
                       (reported ? std::to_string(*reported) : std::string("nil")));
  return reported;
}

}  // namespace deskplay::glyphon
