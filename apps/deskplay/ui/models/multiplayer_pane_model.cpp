#include "ui/models/multiplayer_pane_model.hpp"

namespace deskplay::ui {

MultiplayerPaneModel::MultiplayerPaneModel(core::ServerConfig& server, QObject* parent)
    : QObject(parent), server_(server) {
  connect(&server_, &core::ServerConfig::urlStringChanged, this, &MultiplayerPaneModel::changed);
}

void MultiplayerPaneModel::commit() {
  server_.commit();
}

void MultiplayerPaneModel::reset() {
  server_.reset();
}

}  // namespace deskplay::ui
