#include "app/control_client.hpp"

#include <QJsonDocument>
#include <QLocalSocket>

#include "app/control_protocol.hpp"

namespace deskplay::app {

namespace {

// A start of a game waits for the engine to run; nothing else takes long but a recording,
// which waits for the user as long as it takes.
constexpr int kConnectTimeoutMs = 5000;
constexpr int kReplyTimeoutMs = 60000;
constexpr int kNoTimeout = -1;

}  // namespace

Result<QJsonObject> sendControlCommand(const std::filesystem::path& socket,
                                       const ControlCommand& command) {
  QLocalSocket client;
  client.connectToServer(QString::fromStdString(socket.string()));
  if (!client.waitForConnected(kConnectTimeoutMs)) {
    return Error{ErrorKind::unavailable,
                 "Deskplay is not running (no instance answers at " + socket.string() + ")."};
  }
  client.write(encodeRequest(command));
  if (!client.waitForBytesWritten(kConnectTimeoutMs)) {
    return Error{"Deskplay did not take the command: " + client.errorString().toStdString()};
  }
  const int replyTimeoutMs =
      command.kind == ControlCommand::Kind::recordHotkey ? kNoTimeout : kReplyTimeoutMs;
  QByteArray reply;
  while (!reply.contains('\n')) {
    if (!client.waitForReadyRead(replyTimeoutMs)) break;
    reply += client.readAll();
    if (reply.size() > kMaxControlLineBytes) break;
  }
  reply += client.readAll();
  const QJsonDocument document = QJsonDocument::fromJson(reply.left(reply.indexOf('\n')));
  if (!document.isObject()) return Error{"Deskplay gave no answer."};
  return document.object();
}

}  // namespace deskplay::app
