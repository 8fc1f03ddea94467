#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "platform/windows.hpp"
#include "protocol/log_lines.hpp"

namespace deskplay::glyphon {

inline constexpr std::string_view kStageCoverOwner = "stage";
inline constexpr std::string_view kFeedbackCoverOwner = "feedback";

// The plain, opaque windows of one colour with which the engine hides parts of the desktop:
// one per owner, just above the desktop icons and below every ordinary window, swallowing
// clicks on what they cover. Main thread only.
class CoverWindows {
 public:
  // `windows` and `log` must outlive the covers.
  CoverWindows(platform::Windows& windows, LogLines& log) : windows_(windows), log_(log) {}

  // Shows the owner's cover at the top-left-origin rectangle (x, y, w, h) in the colour of
  // `hex`, or moves, resizes and recolours the one it has.
  void applyCover(double x, double y, double w, double h, std::string_view hex,
                  const std::string& owner);
  // Takes the owner's cover away; nothing to do when it has none.
  void clearCover(const std::string& owner = std::string(kStageCoverOwner));

  // The owner's cover; null when it has none.
  const platform::Window* cover(std::string_view owner) const;
  std::size_t coverCount() const { return coverWindows_.size(); }

 private:
  platform::WindowTraits coverTraits(std::string_view hex);

  platform::Windows& windows_;
  LogLines& log_;
  std::map<std::string, std::unique_ptr<platform::Window>, std::less<>> coverWindows_;
};

}  // namespace deskplay::glyphon
