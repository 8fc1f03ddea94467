#pragma once

#include <QObject>
#include <optional>

#include "core/hotkey/hotkey.hpp"
#include "core/hotkey/stop_hotkey_tap.hpp"
#include "platform/preferences.hpp"

namespace deskplay::core {

// The user-defaults key of the stop hotkey: its JSON form, as data.
inline constexpr char kStopHotkeyKey[] = "stopHotkey";

// The stop hotkey the user chose, kept in the user defaults and in step with the key tap, and
// the recording of a new one. Main thread only.
class HotkeyStore final : public QObject {
  Q_OBJECT
  Q_PROPERTY(deskplay::core::Hotkey hotkey READ hotkey NOTIFY hotkeyChanged)
  Q_PROPERTY(bool recording READ recording NOTIFY recordingChanged)

 public:
  // Starts with the stored hotkey, or the default when none decodes. Both must outlive the
  // store; the tap is not touched until the hotkey or the recording changes.
  HotkeyStore(platform::Preferences& preferences, StopHotkeyTap& tap, QObject* parent = nullptr);

  const Hotkey& hotkey() const { return hotkey_; }
  bool recording() const { return recording_; }

  // The stored hotkey; nothing when none is stored or it does not decode.
  std::optional<Hotkey> load() const;

  // Makes `hotkey` the stop hotkey at once (the tap matches it from now on), ends a recording,
  // and stores it; an encoding failure leaves only the stored value as it was.
  void set(const Hotkey& hotkey);

  // The hotkey button: the tap hands over the next combination instead of acting on it.
  void startRecording();
  // The button pressed again: nothing is recorded.
  void cancelRecording();
  // The tap's hand-over: a recorded combination becomes the hotkey; nothing (Escape) ends the
  // recording and keeps the old one. A hand-over that arrives after the recording ended (it
  // was cancelled meanwhile) is ignored.
  void finishRecording(const std::optional<Hotkey>& recorded);

 signals:
  void hotkeyChanged();
  void recordingChanged();
  // A recording ended: with the new hotkey, or with nothing when it was cancelled.
  void recordingFinished(std::optional<deskplay::core::Hotkey> recorded);

 private:
  void setRecording(bool recording);

  platform::Preferences& preferences_;
  StopHotkeyTap& tap_;
  Hotkey hotkey_;
  bool recording_ = false;
};

}  // namespace deskplay::core
