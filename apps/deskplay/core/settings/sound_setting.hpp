#pragma once

#include <QObject>
#include <functional>
#include <optional>
#include <string_view>

#include "platform/preferences.hpp"

namespace deskplay::core {

// The user-defaults key of the "Game sounds" switch: a boolean, true when absent.
inline constexpr std::string_view kSoundsEnabledKey = "soundsEnabled";

// The switch as a stored value sets it: on unless the value is the boolean false, so absent
// or foreign values leave games their sound.
bool soundsEnabledBy(const std::optional<platform::PreferenceValue>& stored);

// Whether games play their sound effects, as the General settings show and change it. Every
// change is stored at once and announced to the running engine as muted or not; the next
// launch reads the stored value. Main thread only.
class SoundSetting final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool enabled READ enabled NOTIFY enabledChanged)

 public:
  // Tells a running engine whether it is muted now.
  using MutedAnnouncer = std::function<void(bool muted)>;

  // `preferences` must outlive the object.
  SoundSetting(platform::Preferences& preferences, MutedAnnouncer announceMuted,
               QObject* parent = nullptr);

  // The stored switch (soundsEnabledBy).
  bool enabled() const;
  // Stores the switch and announces the change; nothing happens when it already is so.
  void setEnabled(bool enabled);

 signals:
  void enabledChanged();

 private:
  platform::Preferences& preferences_;
  MutedAnnouncer announceMuted_;
};

}  // namespace deskplay::core
