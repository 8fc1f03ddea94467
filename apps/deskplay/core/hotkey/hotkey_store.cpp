#include "core/hotkey/hotkey_store.hpp"

#include <string>

namespace deskplay::core {

HotkeyStore::HotkeyStore(platform::Preferences& preferences, StopHotkeyTap& tap, QObject* parent)
    : QObject(parent), preferences_(preferences), tap_(tap) {
  hotkey_ = load().value_or(defaultStopHotkey());
}

std::optional<Hotkey> HotkeyStore::load() const {
  const auto stored = preferences_.value(kStopHotkeyKey);
  if (!stored) return std::nullopt;
  const auto* data = stored->get<platform::PreferenceData>();
  if (data == nullptr) return std::nullopt;
  return decodeHotkey(std::string(data->bytes.begin(), data->bytes.end()));
}

void HotkeyStore::set(const Hotkey& hotkey) {
  if (hotkey_ != hotkey) {
    hotkey_ = hotkey;
    emit hotkeyChanged();
  }
  tap_.setStopHotkey(hotkey);
  const bool wasRecording = recording_;
  setRecording(false);
  if (const auto encoded = encodeHotkey(hotkey)) {
    // A write that fails keeps the earlier stored value; the hotkey still works until quit.
    (void)preferences_.setValue(kStopHotkeyKey,
                                platform::PreferenceData{{encoded->begin(), encoded->end()}});
  }
  if (wasRecording) emit recordingFinished(hotkey);
}

void HotkeyStore::startRecording() {
  setRecording(true);
}

void HotkeyStore::cancelRecording() {
  if (!recording_) return;
  setRecording(false);
  emit recordingFinished(std::nullopt);
}

void HotkeyStore::finishRecording(const std::optional<Hotkey>& recorded) {
  if (!recording_) return;
  if (recorded) {
    set(*recorded);
  } else {
    cancelRecording();
  }
}

void HotkeyStore::setRecording(bool recording) {
  tap_.setRecording(recording);
  if (recording_ == recording) return;
  recording_ = recording;
  emit recordingChanged();
}

}  // namespace deskplay::core
