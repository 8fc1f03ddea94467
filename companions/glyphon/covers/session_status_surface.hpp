#pragma once

#include <memory>
#include <string_view>

#include "platform/windows.hpp"
#include "status_panel/session_status_window.hpp"

namespace deskplay::glyphon {

inline constexpr std::string_view kClearSessionStatus = "clear";

// The session status panel as the engine drives it: made by the first phase shown and kept
// for the life of the process. Main thread only.
class SessionStatusSurface {
 public:
  // `windows` must outlive the panel.
  explicit SessionStatusSurface(platform::Windows& windows) : windows_(windows) {}

  // "clear" hides the panel when there is one; any other phase shows it.
  void showSessionStatus(std::string_view phase);

  // Null until the first phase other than "clear".
  const status_panel::SessionStatusWindow* sessionStatusWindow() const {
    return sessionStatusWindow_.get();
  }

 private:
  platform::Windows& windows_;
  std::unique_ptr<status_panel::SessionStatusWindow> sessionStatusWindow_;
};

}  // namespace deskplay::glyphon
