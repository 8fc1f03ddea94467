#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcessEnvironment>
#include <QString>
#include <filesystem>

#include "app/command_line.hpp"
#include "common/result.hpp"

namespace deskplay::app {

// Where the running instance listens for commands, and the lock that makes it the only one.
struct ControlEndpoint {
  std::filesystem::path socket;
  std::filesystem::path lock;
};

// $XDG_RUNTIME_DIR/deskplay-control; without a runtime folder, a per-user name in the
// temporary folder.
ControlEndpoint controlEndpoint(const QProcessEnvironment& environment);

// Requests are one JSON object per line: {"command":"play","game":ID,"args":[…]},
// {"command":"stop"}, {"command":"restore"}, {"command":"status"},
// {"command":"record-hotkey"}, {"command":"open-url","url":URL}, {"command":"sign-in"},
// {"command":"sign-out"}, {"command":"refresh"}. Each is answered with one line:
// {"ok":true,"status":{…}} (a recording: {"ok":true,"recorded":{…} or null} once it ends) or
// {"ok":false,"error":TEXT}.
inline constexpr qsizetype kMaxControlLineBytes = 64 * 1024;

QByteArray encodeRequest(const ControlCommand& command);
Result<ControlCommand> decodeRequest(const QByteArray& line);

QByteArray encodeReply(const QJsonObject& reply);
QJsonObject okReply(const QJsonObject& status);
QJsonObject errorReply(const QString& message);

}  // namespace deskplay::app
