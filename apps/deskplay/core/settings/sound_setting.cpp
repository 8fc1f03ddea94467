#include "core/settings/sound_setting.hpp"

namespace deskplay::core {

bool soundsEnabledBy(const std::optional<platform::PreferenceValue>& stored) {
  const bool* on = stored ? stored->get<bool>() : nullptr;
  return on == nullptr || *on;
}

SoundSetting::SoundSetting(platform::Preferences& preferences, MutedAnnouncer announceMuted,
                           QObject* parent)
    : QObject(parent), preferences_(preferences), announceMuted_(std::move(announceMuted)) {}

bool SoundSetting::enabled() const {
  return soundsEnabledBy(preferences_.value(kSoundsEnabledKey));
}

void SoundSetting::setEnabled(bool enabled) {
  if (enabled == this->enabled()) return;
  // The engine follows the switch even when the defaults cannot be written: the sound the
  // user turned off stops now, and only the next launch may bring it back.
  static_cast<void>(preferences_.setValue(kSoundsEnabledKey, enabled));
  emit enabledChanged();
  if (announceMuted_) announceMuted_(!enabled);
}

}  // namespace deskplay::core
