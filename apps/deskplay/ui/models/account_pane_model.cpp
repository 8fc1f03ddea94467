#include "ui/models/account_pane_model.hpp"

namespace deskplay::ui {

using State = core::AccountStore::State;

AccountPaneModel::AccountPaneModel(Stores stores, QObject* parent)
    : QObject(parent), stores_(stores) {
  connect(&stores_.account, &core::AccountStore::stateChanged, this, &AccountPaneModel::changed);
  connect(&stores_.account, &core::AccountStore::errorChanged, this, &AccountPaneModel::changed);
  connect(&stores_.account, &core::AccountStore::checkingChanged, this, &AccountPaneModel::changed);
  connect(&stores_.server, &core::ServerConfig::urlStringChanged, this, &AccountPaneModel::changed);
}

QString AccountPaneModel::state() const {
  return core::accountStateName(stores_.account.state());
}

QString AccountPaneModel::title() const {
  switch (stores_.account.state()) {
    case State::signedOut:
      return stores_.account.checking() ? QStringLiteral("Checking…")
                                        : QStringLiteral("Not signed in");
    case State::pending:
      return QStringLiteral("Finish signing in in your browser");
    case State::signedIn:
      return QStringLiteral("Signed in");
  }
  return {};
}

QString AccountPaneModel::subtitle() const {
  switch (stores_.account.state()) {
    case State::signedOut:
      return QStringLiteral(
          "Online play on the hosted room server needs an account. Solo games never do.");
    case State::pending:
      return QStringLiteral("Deskplay will return here automatically after Patreon.");
    case State::signedIn:
      return stores_.account.label();
  }
  return {};
}

QString AccountPaneModel::error() const {
  return QString::fromStdString(stores_.account.error().value_or(""));
}

QString AccountPaneModel::footnote() const {
  return QStringLiteral("Signs in against ") + stores_.server.urlString() +
         QStringLiteral(" — change the room server under Multiplayer.");
}

void AccountPaneModel::signIn() {
  stores_.account.signIn();
}

void AccountPaneModel::reopenPage() {
  stores_.account.reopenApproval();
}

void AccountPaneModel::cancelSignIn() {
  stores_.account.cancelSignIn();
}

void AccountPaneModel::signOut() {
  stores_.account.signOut();
}

}  // namespace deskplay::ui
