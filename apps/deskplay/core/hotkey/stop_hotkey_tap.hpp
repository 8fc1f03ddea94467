#pragma once

#include "core/hotkey/hotkey.hpp"

namespace deskplay::core {

// The key tap as the hotkey store drives it: the combination it matches, and whether it
// hands the next combination over as a recording instead.
class StopHotkeyTap {
 public:
  virtual ~StopHotkeyTap() = default;

  virtual void setStopHotkey(const Hotkey& hotkey) = 0;
  virtual void setRecording(bool recording) = 0;
};

}  // namespace deskplay::core
