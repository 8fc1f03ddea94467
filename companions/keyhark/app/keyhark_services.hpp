#pragma once

#include <memory>

#include "listener/input_listener.hpp"
#include "listener/line_output.hpp"
#include "platform/linux/system_clock.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "platform/sim/sim_event_taps.hpp"
#include "platform/sim/sim_privacy_checks.hpp"
#include "platform/sim/sim_windows.hpp"
#include "platform/sim/sim_workspace.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::keyhark {

// Keyhark's platform adapters, wired for Linux: simdesk (at the socket the environment names,
// as application "Keyhark") for taps, Accessibility, permissions, running applications and
// System Settings; the real clock; standard output and standard error for lines.
// Without simdesk nothing is trusted and no tap can be made.
class KeyharkServices {
 public:
  static constexpr const char* kApplicationName = "Keyhark";

  KeyharkServices();
  KeyharkServices(const KeyharkServices&) = delete;
  KeyharkServices& operator=(const KeyharkServices&) = delete;
  ~KeyharkServices();

  ListenerServices listenerServices();
  simdesk::protocol::Connection& connection() { return *simdesk_; }
  platform::Accessibility& accessibility() { return accessibility_; }
  platform::PrivacyChecks& privacy() { return privacy_; }
  LineOutput& events() { return events_; }
  LineOutput& status() { return status_; }

 private:
  DescriptorLineOutput events_;
  DescriptorLineOutput status_;
  platform::SystemClock clock_;
  std::unique_ptr<simdesk::protocol::Connection> simdesk_;
  platform::SimEventTaps taps_;
  platform::SimAccessibility accessibility_;
  platform::SimPrivacyChecks privacy_;
  platform::SimWorkspace workspace_;
  platform::SimWindows windows_;
};

}  // namespace deskplay::keyhark
