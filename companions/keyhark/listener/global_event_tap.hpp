#pragma once

#include <memory>

#include "platform/event_taps.hpp"

namespace deskplay::keyhark {

// The one session tap of the process, once it exists. The tap callbacks reach it through
// here to turn it back on after the system switched it off. Main thread only.
class GlobalEventTap {
 public:
  void install(std::unique_ptr<platform::EventTap> tap) { tap_ = std::move(tap); }
  bool installed() const { return tap_ != nullptr; }
  // Enables the tap; nothing happens before there is one.
  void enable() {
    if (tap_) tap_->enable();
  }

 private:
  std::unique_ptr<platform::EventTap> tap_;
};

// The notices by which the system says it switched a tap off.
inline bool isTapDisabledNotice(const platform::Event& event) {
  return event.type == platform::EventType::tapDisabledByTimeout ||
         event.type == platform::EventType::tapDisabledByUserInput;
}

}  // namespace deskplay::keyhark
