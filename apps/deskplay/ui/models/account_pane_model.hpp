#pragma once

#include <QObject>
#include <QString>

#include "core/account/account_store.hpp"
#include "core/settings/server_config.hpp"

namespace deskplay::ui {

// The Account settings pane: where sign-in stands, in words, the account's last message, and
// the room server the sign-in goes to. Main thread only.
class AccountPaneModel final : public QObject {
  Q_OBJECT
  // "signedOut", "pending" or "signedIn": which buttons the pane offers.
  Q_PROPERTY(QString state READ state NOTIFY changed)
  Q_PROPERTY(QString title READ title NOTIFY changed)
  Q_PROPERTY(QString subtitle READ subtitle NOTIFY changed)
  // The account store's message; empty when there is none.
  Q_PROPERTY(QString error READ error NOTIFY changed)
  Q_PROPERTY(QString footnote READ footnote NOTIFY changed)

 public:
  struct Stores {
    core::AccountStore& account;
    core::ServerConfig& server;
  };

  explicit AccountPaneModel(Stores stores, QObject* parent = nullptr);

  QString state() const;
  QString title() const;
  QString subtitle() const;
  QString error() const;
  QString footnote() const;

  Q_INVOKABLE void signIn();
  Q_INVOKABLE void reopenPage();
  Q_INVOKABLE void cancelSignIn();
  Q_INVOKABLE void signOut();

 signals:
  void changed();

 private:
  Stores stores_;
};

}  // namespace deskplay::ui
