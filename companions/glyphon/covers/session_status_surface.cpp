#include "covers/session_status_surface.hpp"

namespace deskplay::glyphon {

void SessionStatusSurface::showSessionStatus(std::string_view phase) {
  if (phase == kClearSessionStatus) {
    if (sessionStatusWindow_) sessionStatusWindow_->orderOut();
    return;
  }
  if (!sessionStatusWindow_) {
    sessionStatusWindow_ = std::make_unique<status_panel::SessionStatusWindow>(windows_);
  }
  sessionStatusWindow_->show(phase);
}

}  // namespace deskplay::glyphon
