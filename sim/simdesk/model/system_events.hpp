#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/result.hpp"
#include "platform/windows.hpp"
#include "sim/simdesk/model/applications.hpp"
#include "sim/simdesk/model/screens.hpp"

namespace deskplay::simdesk {

// System Events: the Dock and menu-bar preferences, the desktop picture, and the
// visibility of processes.
class SystemEvents {
 public:
  // What `picture of current desktop` reports on a fresh system.
  static constexpr std::string_view kDefaultDesktopPicture =
      "/System/Library/CoreServices/DefaultDesktop.heic";

  SystemEvents(Screens& screens, Applications& applications);

  // `autohide of dock preferences`, `autohide menu bar of dock preferences`.
  bool dockAutohide() const;
  void setDockAutohide(bool autohide);
  bool menuBarAutohide() const;
  void setMenuBarAutohide(bool autohide);

  // `picture of current desktop`: a POSIX path. Setting one switches the desktop to the
  // picture; when the file cannot be drawn the colour shows instead.
  const std::string& desktopPicture() const { return picture_; }
  void setDesktopPicture(std::string path);
  // The desktop's solid colour, used when no picture is set or it cannot be drawn.
  const platform::Color& desktopColor() const { return color_; }
  // Uses a solid colour instead of a picture.
  void setDesktopColor(const platform::Color& color);
  bool usesPicture() const { return usesPicture_; }
  // Counts picture settings, so that a picture set again (perhaps a new file at the same
  // path) is read again.
  std::uint64_t pictureGeneration() const { return pictureGeneration_; }

  // `visible of process "X"`; nothing when no such process runs.
  std::optional<bool> processVisible(std::string_view name) const;
  Status setProcessVisible(std::string_view name, bool visible);
  // The names of all processes, in launch order (`name of every process`).
  std::vector<std::string> processNames() const;

 private:
  Screens& screens_;
  Applications& applications_;
  std::string picture_{kDefaultDesktopPicture};
  platform::Color color_{0.114, 0.306, 0.494, 1.0};
  bool usesPicture_ = true;
  std::uint64_t pictureGeneration_ = 0;
};

}  // namespace deskplay::simdesk
