#pragma once

#include <QObject>
#include <QString>

#include "core/settings/server_config.hpp"

namespace deskplay::ui {

// The Multiplayer settings pane: the room server's address as typed, committed on submit,
// with the hint while it has no WebSocket scheme and "Reset" while it is not the hosted
// server. Main thread only.
class MultiplayerPaneModel final : public QObject {
  Q_OBJECT
  Q_PROPERTY(QString urlString READ urlString WRITE setUrlString NOTIFY changed)
  Q_PROPERTY(bool showsHint READ showsHint NOTIFY changed)
  Q_PROPERTY(bool offersReset READ offersReset NOTIFY changed)

 public:
  explicit MultiplayerPaneModel(core::ServerConfig& server, QObject* parent = nullptr);

  QString urlString() const { return server_.urlString(); }
  void setUrlString(const QString& text) { server_.setUrlString(text); }
  bool showsHint() const { return !server_.isValid(); }
  bool offersReset() const { return !server_.isDefault(); }

  Q_INVOKABLE void commit();
  Q_INVOKABLE void reset();

 signals:
  void changed();

 private:
  core::ServerConfig& server_;
};

}  // namespace deskplay::ui
