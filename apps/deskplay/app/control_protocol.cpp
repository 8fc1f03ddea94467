#include "app/control_protocol.hpp"

#include <unistd.h>

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <iterator>

namespace deskplay::app {

namespace {

// In the order of ControlCommand::Kind.
constexpr const char* kCommandNames[] = {"play",    "stop",          "restore",
                                         "status",  "record-hotkey", "open-url",
                                         "sign-in", "sign-out",      "refresh"};

QString commandName(ControlCommand::Kind kind) {
  return QString::fromLatin1(kCommandNames[static_cast<int>(kind)]);
}

}  // namespace

ControlEndpoint controlEndpoint(const QProcessEnvironment& environment) {
  const QString runtime = environment.value("XDG_RUNTIME_DIR");
  std::filesystem::path socket =
      !runtime.isEmpty() && QDir::isAbsolutePath(runtime)
          ? std::filesystem::path(runtime.toStdString()) / "deskplay-control"
          : std::filesystem::path(QDir::tempPath().toStdString()) /
                ("deskplay-control-" + std::to_string(::getuid()));
  std::filesystem::path lock = socket;
  lock += ".lock";
  return {std::move(socket), std::move(lock)};
}

QByteArray encodeRequest(const ControlCommand& command) {
  QJsonObject request{{"command", commandName(command.kind)}};
  if (command.kind == ControlCommand::Kind::play) {
    QJsonArray args;
    for (const auto& arg : command.args) args.append(QString::fromStdString(arg));
    request["game"] = QString::fromStdString(command.gameId);
    request["args"] = args;
  }
  if (command.kind == ControlCommand::Kind::openUrl) {
    request["url"] = QString::fromStdString(command.url);
  }
  return QJsonDocument(request).toJson(QJsonDocument::Compact) + '\n';
}

Result<ControlCommand> decodeRequest(const QByteArray& line) {
  QJsonParseError parseError{};
  const QJsonDocument document = QJsonDocument::fromJson(line, &parseError);
  if (parseError.error != QJsonParseError::NoError || !document.isObject()) {
    return Error{"The request is not a JSON object."};
  }
  const QJsonObject request = document.object();
  const QJsonValue name = request.value("command");
  for (int kind = 0; kind < static_cast<int>(std::size(kCommandNames)); ++kind) {
    if (name != QJsonValue(QString::fromLatin1(kCommandNames[kind]))) continue;
    ControlCommand command{static_cast<ControlCommand::Kind>(kind), {}, {}, {}};
    if (command.kind == ControlCommand::Kind::openUrl) {
      const QJsonValue url = request.value("url");
      if (!url.isString() || url.toString().isEmpty()) {
        return Error{"The open-url request needs a URL."};
      }
      command.url = url.toString().toStdString();
      return command;
    }
    if (command.kind != ControlCommand::Kind::play) return command;
    const QJsonValue game = request.value("game");
    const QJsonValue args = request.value("args");
    if (!game.isString() || game.toString().isEmpty()) {
      return Error{"The play request needs a game id."};
    }
    command.gameId = game.toString().toStdString();
    if (!args.isUndefined()) {
      if (!args.isArray()) return Error{"The play request's args must be a list of strings."};
      for (const QJsonValue& arg : args.toArray()) {
        if (!arg.isString()) return Error{"The play request's args must be a list of strings."};
        command.args.push_back(arg.toString().toStdString());
      }
    }
    return command;
  }
  return Error{"Unknown command."};
}

QByteArray encodeReply(const QJsonObject& reply) {
  return QJsonDocument(reply).toJson(QJsonDocument::Compact) + '\n';
}

QJsonObject okReply(const QJsonObject& status) {
  return QJsonObject{{"ok", true}, {"status", status}};
}

QJsonObject errorReply(const QString& message) {
  return QJsonObject{{"ok", false}, {"error", message}};
}

}  // namespace deskplay::app
