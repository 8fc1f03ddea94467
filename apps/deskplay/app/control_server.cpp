#include "app/control_server.hpp"

#include <utility>

namespace deskplay::app {

ControlReply::ControlReply(QLocalSocket* client) : state_(std::make_shared<State>()) {
  state_->client = client;
}

void ControlReply::send(const QJsonObject& reply) const {
  if (state_->answered) return;
  state_->answered = true;
  if (state_->client == nullptr) return;
  state_->client->write(encodeReply(reply));
  state_->client->disconnectFromServer();
}

void ControlReply::onAbandoned(std::function<void()> abandoned) const {
  QLocalSocket* client = state_->client;
  if (client == nullptr) {
    if (!state_->answered) abandoned();
    return;
  }
  QObject::connect(client, &QLocalSocket::disconnected, client,
                   [state = state_, abandoned = std::move(abandoned)] {
                     if (state->answered) return;
                     state->answered = true;
                     abandoned();
                   });
}

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
      const ControlReply reply(client);
      if (command.ok()) {
        handler_(command.value(), reply);
      } else {
        reply.send(errorReply(QString::fromStdString(command.message())));
      }
    });
  }
}

}  // namespace deskplay::app
