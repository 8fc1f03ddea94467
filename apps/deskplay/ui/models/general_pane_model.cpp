#include "ui/models/general_pane_model.hpp"

namespace deskplay::ui {

GeneralPaneModel::GeneralPaneModel(Stores stores, QObject* parent)
    : QObject(parent), stores_(stores) {
  connect(&stores_.loginItem, &core::LoginItem::enabledChanged, this, &GeneralPaneModel::changed);
  connect(&stores_.sounds, &core::SoundSetting::enabledChanged, this, &GeneralPaneModel::changed);
}

void GeneralPaneModel::setLaunchAtLogin(bool on) {
  // The store announces its state even when the system refused, so a switch that was flipped
  // turns back.
  stores_.loginItem.set(on);
}

void GeneralPaneModel::setGameSounds(bool on) {
  stores_.sounds.setEnabled(on);
}

}  // namespace deskplay::ui
