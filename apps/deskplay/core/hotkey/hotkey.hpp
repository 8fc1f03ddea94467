#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/event_taps.hpp"

namespace deskplay::core {

// A key combination: the main key's virtual key code, the four modifiers, and the printable
// name of the main key.
struct Hotkey {
  int keyCode = 0;
  bool control = false;
  bool option = false;
  bool shift = false;
  bool command = false;
  std::string label;

  // The modifier symbols in the fixed order ⌃ ⌥ ⇧ ⌘, then the label: "⌃⌥Q".
  std::string display() const;

  bool hasModifier() const { return control || option || shift || command; }

  friend bool operator==(const Hotkey&, const Hotkey&) = default;
};

// ⌃⌥Q, the stop hotkey until the user records another.
Hotkey defaultStopHotkey();

// The combination held in an event: its key code, its modifier flags, and hotkeyLabel.
Hotkey hotkeyOfEvent(const platform::Event& event);

// The printable name of a pressed key: a symbol for the keys that print nothing useful, else
// the key's characters ignoring modifiers upper-cased, else "Key " and the code.
std::string hotkeyLabel(std::int64_t keyCode, const platform::Event& event);

// The stored form: {"keyCode":…,"control":…,"option":…,"shift":…,"command":…,"label":…}.
// Nothing when the label cannot be written as JSON text (it is not UTF-8).
std::optional<std::string> encodeHotkey(const Hotkey& hotkey);
// Every key is required with its type; other keys are ignored. A combination that could never
// have been recorded (no modifier, or a key code outside the system's 16-bit range) is
// rejected too: as a stop hotkey it would end games on a plain key press, or never.
std::optional<Hotkey> decodeHotkey(std::string_view json);

}  // namespace deskplay::core
