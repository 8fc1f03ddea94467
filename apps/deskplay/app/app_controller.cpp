#include "app/app_controller.hpp"

#include <QJsonArray>
#include <algorithm>

#include "app/control_protocol.hpp"
#include "core/settings/server_url.hpp"

namespace deskplay::app {

namespace {

QJsonValue textOrNull(const std::optional<std::string>& text) {
  return text ? QJsonValue(QString::fromStdString(*text)) : QJsonValue(QJsonValue::Null);
}

QString sessionName(core::SessionState state) {
  switch (state) {
    case core::SessionState::idle:
      return "idle";
    case core::SessionState::running:
      return "running";
    case core::SessionState::needsAttention:
      return "needsAttention";
  }
  return "idle";
}

}  // namespace

QJsonObject accountJson(const core::AccountStore& account) {
  const bool signedIn = account.state() == core::AccountStore::State::signedIn;
  return QJsonObject{
      {"state", core::accountStateName(account.state())},
      {"label", signedIn ? QJsonValue(account.label()) : QJsonValue(QJsonValue::Null)},
      {"error", textOrNull(account.error())},
      {"checking", account.checking()},
  };
}

QJsonObject statusJson(const core::GameSupervisor& supervisor, const core::CatalogStore& catalog,
                       const core::KeyTap& keyTap, const core::HotkeyStore& hotkeys,
                       const core::AccountStore& account, const std::string& serverURL) {
  QJsonArray games;
  for (const auto& game : catalog.games()) games.append(QString::fromStdString(game.id));
  const auto& current = supervisor.currentGame();
  return QJsonObject{
      {"currentGame",
       current ? QJsonValue(QString::fromStdString(current->id)) : QJsonValue(QJsonValue::Null)},
      {"lastError", textOrNull(supervisor.lastError())},
      {"games", games},
      {"refreshError", textOrNull(catalog.refreshError())},
      {"session", sessionName(supervisor.state())},
      {"stopHotkey", QString::fromStdString(hotkeys.hotkey().display())},
      {"keyTap", QJsonObject{{"installed", keyTap.installed()},
                             {"trusted", keyTap.trusted()},
                             {"capturing", keyTap.capturing()},
                             {"recording", hotkeys.recording()},
                             {"count", keyTap.count()},
                             {"lastKeyCode", keyTap.lastKeyCode()}}},
      {"account", accountJson(account)},
      {"serverURL", QString::fromStdString(serverURL)},
  };
}

QJsonObject hotkeyJson(const core::Hotkey& hotkey) {
  return QJsonObject{{"keyCode", hotkey.keyCode},
                     {"control", hotkey.control},
                     {"option", hotkey.option},
                     {"shift", hotkey.shift},
                     {"command", hotkey.command},
                     {"label", QString::fromStdString(hotkey.label)},
                     {"display", QString::fromStdString(hotkey.display())}};
}

AppController::AppController(Stores stores, QObject* parent)
    : QObject(parent),
      host_(stores.host),
      supervisor_(stores.supervisor),
      catalog_(stores.catalog),
      keyTap_(stores.keyTap),
      hotkeys_(stores.hotkeys),
      account_(stores.account),
      preferences_(stores.preferences) {
  connect(&hotkeys_, &core::HotkeyStore::recordingFinished, this,
          &AppController::recordingFinished);
}

void AppController::handle(const ControlCommand& command, const ControlReply& reply) {
  switch (command.kind) {
    case ControlCommand::Kind::play:
      return reply.send(play(command));
    case ControlCommand::Kind::stop:
      return reply.send(stop());
    case ControlCommand::Kind::restore:
      return reply.send(restore());
    case ControlCommand::Kind::status:
      return reply.send(status());
    case ControlCommand::Kind::recordHotkey:
      return recordHotkey(reply);
    case ControlCommand::Kind::openUrl:
      account_.handleSignInURL(QUrl(QString::fromStdString(command.url)));
      return reply.send(status());
    case ControlCommand::Kind::signIn:
      return reply.send(signIn());
    case ControlCommand::Kind::signOut:
      account_.signOut();
      return reply.send(status());
    case ControlCommand::Kind::refresh:
      account_.refresh();
      return reply.send(status());
  }
  reply.send(status());
}

void AppController::recordHotkey(const ControlReply& reply) {
  if (hotkeys_.recording()) return reply.send(errorReply(kAlreadyRecording));
  // Without a tap nothing would ever end the recording.
  if (!keyTap_.installed()) return reply.send(errorReply(kNoKeyTap));
  recordingReply_ = reply;
  reply.onAbandoned([this] {
    recordingReply_.reset();
    hotkeys_.cancelRecording();
  });
  hotkeys_.startRecording();
}

void AppController::recordingFinished(const std::optional<core::Hotkey>& recorded) {
  if (!recordingReply_) return;
  const ControlReply reply = *recordingReply_;
  recordingReply_.reset();
  reply.send(QJsonObject{
      {"ok", true},
      {"recorded", recorded ? QJsonValue(hotkeyJson(*recorded)) : QJsonValue(QJsonValue::Null)}});
}

QJsonObject AppController::play(const ControlCommand& command) {
  auto game = findGame(command.gameId);
  // Game folders added since the last scan count too; only the packaged scan is immediate.
  if (!game && catalog_.bundledGamesURL()) {
    catalog_.refresh();
    game = findGame(command.gameId);
  }
  if (!game) {
    return errorReply(QString::fromStdString("No game \"" + command.gameId + "\" in the catalog."));
  }
  if (supervisor_.process() != nullptr) return errorReply(kAlreadyRunning);
  supervisor_.play(*game, command.args);
  if (const auto& error = supervisor_.lastError()) {
    return errorReply(QString::fromStdString(*error));
  }
  return status();
}

std::optional<core::Game> AppController::findGame(const std::string& id) const {
  const auto& games = catalog_.games();
  const auto game =
      std::find_if(games.begin(), games.end(), [&](const core::Game& g) { return g.id == id; });
  if (game == games.end()) return std::nullopt;
  return *game;
}

QJsonObject AppController::stop() {
  if (!host_.stop()) return errorReply(kNothingRunning);
  return status();
}

QJsonObject AppController::restore() {
  if (supervisor_.process() != nullptr) return errorReply(kStopFirst);
  supervisor_.restoreDesktopNow();
  if (const auto& error = supervisor_.lastError()) {
    return errorReply(QString::fromStdString(*error));
  }
  return status();
}

QJsonObject AppController::signIn() {
  account_.signIn();
  if (const auto& error = account_.error()) return errorReply(QString::fromStdString(*error));
  return status();
}

QJsonObject AppController::status() const {
  return okReply(statusJson(supervisor_, catalog_, keyTap_, hotkeys_, account_,
                            core::resolvedServerURL(preferences_)));
}

}  // namespace deskplay::app
