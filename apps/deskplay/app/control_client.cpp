#include "app/control_client.hpp"

#include <QJsonDocument>
#include <QLocalSocket>

#include "app/control_protocol.hpp"

namespace deskplay::app {

namespace {

// A start of a game waits for the engine to run; nothing else takes long.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kReplyTimeoutMs = 60000;

}  // namespace

Result<QJsonObject> sendControlCommand(const std::filesystem::path& socket,
                                       const ControlCommand& command) {
  QLocalSocket client;
  client.connectToServer(QString::fromStdString(socket.string()));
  if (!client.waitForConnected(kConnectTimeoutMs)) {
    return Error{"Deskplay is not running (no instance answers at " + socket.string() + ")."};
  }
  client.write(encodeRequest(command));
  if (!client.waitForBytesWritten(kConnectTimeoutMs)) {
    return Error{"Deskplay did not take the command: " + client.errorString().toStdString()};
  }
  QByteArray reply;
  while (!reply.contains('\n')) {
    if (!client.waitForReadyRead(kReplyTimeoutMs)) break;
    reply += client.readAll();
    if (reply.size() > kMaxControlLineBytes) break;
  }
  reply += client.readAll();
  const QJsonDocument document = QJsonDocument::fromJson(reply.left(reply.indexOf('\n')));
  if (!document.isObject()) return Error{"Deskplay gave no answer."};
  return document.object();
}

}  // namespace deskplay::app
