#include "app/control_server.hpp"

#include <QLocalSocket>

namespace deskplay::app {

ControlServer::ControlServer(Handler handler, QObject* parent)
    : QObject(parent), handler_(std::move(handler)) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  connect(&server_, &QLocalServer::newConnection, this, &ControlServer::accept);
}

Status ControlServer::listen(const std::filesystem::path& socket) {
  const QString name = QString::fromStdString(socket.string());
  QLocalServer::removeServer(name);
  if (!server_.listen(name)) {
    return Error{"cannot listen at " + socket.string() + ": " +
                 server_.errorString().toStdString()};
  }
  return Status::success();
}

void ControlServer::accept() {
  while (QLocalSocket* client = server_.nextPendingConnection()) {
    connect(client, &QLocalSocket::disconnected, client, &QObject::deleteLater);
    connect(client, &QLocalSocket::readyRead, this, [this, client] {
      if (!client->canReadLine()) {
        if (client->bytesAvailable() > kMaxControlLineBytes) {
          client->write(encodeReply(errorReply("The request is too long.")));
          client->disconnectFromServer();
        }
        return;
      }
      const QByteArray line = client->readLine(kMaxControlLineBytes);
      // One request per connection: whatever follows is not read.
      disconnect(client, &QLocalSocket::readyRead, this, nullptr);
      const auto command = decodeRequest(line.trimmed());
      const QJsonObject reply = command.ok()
                                    ? handler_(command.value())
                                    : errorReply(QString::fromStdString(command.message()));
      client->write(encodeReply(reply));
      client->disconnectFromServer();
    });
  }
}

}  // namespace deskplay::app
