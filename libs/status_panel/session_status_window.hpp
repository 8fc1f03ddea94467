#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/observation.hpp"
#include "platform/windows.hpp"

namespace deskplay::status_panel {

// The phases the panel knows by name; any other phase reads as an error.
namespace status_phase {
inline constexpr std::string_view loading = "loading";
inline constexpr std::string_view restoring = "restoring";
inline constexpr std::string_view failed = "failed";
}  // namespace status_phase

// The small panel in the middle of the primary screen that says what a session is doing:
// "Loading" with a spinner, "Goodbye" while the desktop is put back, or "Session error".
// It never takes the keyboard focus and lets clicks through to the game and Finder.
// Main thread only.
class SessionStatusWindow final {
 public:
  static constexpr double kWidth = 280;
  static constexpr double kHeight = 96;
  static constexpr platform::Font kMessageFont{22, platform::FontWeight::semibold};

  // Builds the panel, hidden, and starts following the reduce-motion setting. `windows`
  // must outlive the panel.
  explicit SessionStatusWindow(platform::Windows& windows);
  SessionStatusWindow(const SessionStatusWindow&) = delete;
  SessionStatusWindow& operator=(const SessionStatusWindow&) = delete;
  ~SessionStatusWindow();

  // The text for `phase`: "Loading", "Goodbye" or "Session error".
  static std::string_view textForPhase(std::string_view phase);

  // Sets the phase's text, centres the panel on the primary screen and brings it to the
  // front without activating the application.
  void show(std::string_view phase);
  // Text, accessibility label, spinner visibility and layout for `phase`.
  void setMessage(std::string_view phase);
  // The spinner turns while the panel is visible in the loading phase, unless the user
  // asked the system to reduce motion.
  void refreshLoadingAnimation();
  // Stops the spinner, then hides the panel.
  void orderOut();

  // The phase shown last; empty until the first `setMessage`.
  const std::string& phase() const { return phase_; }
  bool isVisible() const;

 private:
  platform::Windows& windows_;
  std::unique_ptr<platform::StatusPanel> panel_;
  platform::StatusPanel::Content content_;
  std::string phase_;
  std::unique_ptr<platform::Observation> displayOptions_;
};

}  // namespace deskplay::status_panel
