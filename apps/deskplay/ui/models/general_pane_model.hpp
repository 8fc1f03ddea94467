#pragma once

#include <QObject>

#include "core/settings/login_item.hpp"
#include "core/settings/sound_setting.hpp"

namespace deskplay::ui {

// The General settings pane's two switches: "Launch at login", which shows what the system
// registered rather than what was asked for, and "Game sounds". Main thread only.
class GeneralPaneModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(bool launchAtLogin READ launchAtLogin WRITE setLaunchAtLogin NOTIFY changed)
  Q_PROPERTY(bool gameSounds READ gameSounds WRITE setGameSounds NOTIFY changed)

 public:
  struct Stores {
    core::LoginItem& loginItem;
    core::SoundSetting& sounds;
  };

  explicit GeneralPaneModel(Stores stores, QObject* parent = nullptr);

  bool launchAtLogin() const { return stores_.loginItem.enabled(); }
  void setLaunchAtLogin(bool on);
  bool gameSounds() const { return stores_.sounds.enabled(); }
  void setGameSounds(bool on);

 signals:
  void changed();

 private:
  Stores stores_;
};

}  // namespace deskplay::ui
