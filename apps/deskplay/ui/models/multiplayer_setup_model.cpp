#include "ui/models/multiplayer_setup_model.hpp"

#include "core/settings/server_url.hpp"

namespace deskplay::ui {

MultiplayerSetupModel::MultiplayerSetupModel(Stores stores, PlayHandler onPlay, UniformDraw draw,
                                             QObject* parent)
    : QObject(parent),
      stores_(stores),
      onPlay_(std::move(onPlay)),
      draw_(std::move(draw)),
      hostCode_(generateRoomCode(draw_)) {
  connect(&stores_.tap, &core::KeyTap::trustedChanged, this, &MultiplayerSetupModel::changed);
  connect(&stores_.account, &core::AccountStore::stateChanged, this,
          &MultiplayerSetupModel::changed);
  connect(&stores_.account, &core::AccountStore::errorChanged, this,
          &MultiplayerSetupModel::changed);
  connect(&stores_.server, &core::ServerConfig::urlStringChanged, this,
          &MultiplayerSetupModel::changed);
}

void MultiplayerSetupModel::begin(const core::Game& game) {
  fourPlayers_ = game.launch == core::LaunchMode::multiplayerOnly;
  mode_ = Mode::host;
  hostCode_ = generateRoomCode(draw_);
  joinCode_.clear();
  emit changed();
  stores_.account.refresh();
}

QString MultiplayerSetupModel::mode() const {
  return mode_ == Mode::host ? QStringLiteral("Host") : QStringLiteral("Join");
}

void MultiplayerSetupModel::setMode(const QString& mode) {
  if (mode == QStringLiteral("Host")) setModeValue(Mode::host);
  if (mode == QStringLiteral("Join")) setModeValue(Mode::join);
}

void MultiplayerSetupModel::setModeValue(Mode mode) {
  if (mode == mode_) return;
  mode_ = mode;
  emit changed();
}

void MultiplayerSetupModel::setJoinCode(const QString& code) {
  if (code == joinCode_) return;
  joinCode_ = code;
  emit changed();
}

bool MultiplayerSetupModel::unlocked() const {
  return stores_.account.state() == core::AccountStore::State::signedIn ||
         !stores_.server.isDefault();
}

bool MultiplayerSetupModel::canPlay() const {
  return stores_.tap.trusted() && (mode_ == Mode::host || !trimmedJoinCode().empty());
}

bool MultiplayerSetupModel::signInPending() const {
  return !unlocked() && stores_.account.state() == core::AccountStore::State::pending;
}

QString MultiplayerSetupModel::accountError() const {
  return QString::fromStdString(stores_.account.error().value_or(""));
}

QString MultiplayerSetupModel::codeCaption() const {
  if (mode_ == Mode::host) {
    return fourPlayers_ ? QStringLiteral("Share this code with the other three players")
                        : QStringLiteral("Share this code with your opponent");
  }
  return fourPlayers_ ? QStringLiteral("Enter the host's code")
                      : QStringLiteral("Enter your opponent's code");
}

QString MultiplayerSetupModel::note() const {
  return fourPlayers_ ? QStringLiteral("All four players need Deskplay and the same code.")
                      : QStringLiteral("Your opponent needs Deskplay and the same code.");
}

QString MultiplayerSetupModel::playLabel() const {
  return mode_ == Mode::host ? QStringLiteral("Create & wait") : QStringLiteral("Join game");
}

std::vector<std::string> MultiplayerSetupModel::playArguments() const {
  return {"join", mode_ == Mode::host ? hostCode_ : trimmedJoinCode()};
}

void MultiplayerSetupModel::regenerateCode() {
  hostCode_ = generateRoomCode(draw_);
  emit changed();
}

void MultiplayerSetupModel::play() {
  if (!canPlay()) return;
  onPlay_(playArguments());
}

void MultiplayerSetupModel::signIn() {
  stores_.account.signIn();
}

void MultiplayerSetupModel::reopenSignInPage() {
  stores_.account.reopenApproval();
}

void MultiplayerSetupModel::cancelSignIn() {
  stores_.account.cancelSignIn();
}

std::string MultiplayerSetupModel::trimmedJoinCode() const {
  return std::string(core::trimmedSpacesAndTabs(joinCode_.toStdString()));
}

}  // namespace deskplay::ui
