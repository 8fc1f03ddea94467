#pragma once

#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <cstdint>
#include <optional>
#include <string>

#include "core/account/account_replies.hpp"
#include "platform/keychain.hpp"
#include "platform/preferences.hpp"
#include "platform/workspace.hpp"

class QNetworkReply;
class QNetworkRequest;

namespace deskplay::core {

// The user's account on the room server: signs in through the browser, keeps the session
// token in the keychain, learns the account's name from the server, and signs out. The state
// is not kept across runs: it starts signed out, and a refresh finds a stored session again.
// Requests run on the main thread's event loop and never block it; every one derives the
// server's address anew from the stored setting. Main thread only.
class AccountStore final : public QObject {
  Q_OBJECT
  Q_PROPERTY(State state READ state NOTIFY stateChanged)
  Q_PROPERTY(QString label READ label NOTIFY stateChanged)
  Q_PROPERTY(QUrl verificationURL READ verificationURL NOTIFY stateChanged)
  Q_PROPERTY(std::optional<std::string> error READ error NOTIFY errorChanged)
  Q_PROPERTY(bool checking READ checking NOTIFY checkingChanged)

 public:
  // signedOut; pending: the sign-in page is open in the browser (verificationURL);
  // signedIn: the account is known (label).
  enum class State { signedOut, pending, signedIn };
  Q_ENUM(State)

  // The ports the store works through; all must outlive it.
  struct Services {
    platform::Keychain& keychain;
    platform::Preferences& preferences;
    platform::Workspace& workspace;
  };

  // How long one request may take before it counts as failed.
  static constexpr int kRequestTimeoutMs = 60000;

  explicit AccountStore(Services services, QObject* parent = nullptr);
  ~AccountStore() override;
  AccountStore(const AccountStore&) = delete;
  AccountStore& operator=(const AccountStore&) = delete;

  State state() const { return state_; }
  // The account's display name while signed in, else empty.
  const QString& label() const { return label_; }
  // The sign-in page while pending, else empty.
  const QUrl& verificationURL() const { return verificationURL_; }
  const std::optional<std::string>& error() const { return error_; }
  bool checking() const { return checking_; }
  bool verifying() const { return verification_.has_value(); }

  // Opens the server's sign-in page in the browser and waits for its callback; nothing
  // while a sign-in link is being checked.
  void signIn();
  // The callback the sign-in page sends the browser to: deskplay://signin?token=…. Anything
  // else, a repeated callback, or one while signed in or while a link is checked, is ignored.
  void handleSignInURL(const QUrl& url);
  // Gives up the sign-in: a link being checked is dropped, whatever the server answers.
  void cancelSignIn();
  // Opens the sign-in page again while pending.
  void reopenApproval();
  // Reads the account from the server with the stored session; signs out when there is none
  // or the server no longer knows it.
  void refresh();
  // Forgets the session here and tells the server, without waiting for it: the stored token
  // is deleted even when the server cannot be reached.
  void signOut();

 signals:
  void stateChanged();
  void errorChanged();
  void checkingChanged();
  // A sign-in callback arrived: the application comes to the front.
  void activationRequested();
  // An account call has ended, whether what it found counted or not.
  void accountCallEnded();

 private:
  // The running check of a one-time token; its reply is the request it currently waits for
  // (the verify call, then the account call that completes the sign-in).
  struct Verification {
    std::uint64_t id = 0;
    QPointer<QNetworkReply> reply;
  };

  void verificationEnded(std::uint64_t id, const SignInOutcome& outcome);
  // Starts an account call; `verification` names the sign-in that waits for it, if any.
  void startRefresh(std::optional<std::uint64_t> verification);
  void accountAnswered(const HttpAnswer& answer);
  bool isCurrent(std::optional<std::uint64_t> verification) const;
  void finishVerification(std::optional<std::uint64_t> verification);
  void dropVerification();

  void setState(State state, QString label = {}, QUrl verificationURL = {});
  void setError(std::optional<std::string> error);
  void setChecking(bool checking);

  Services services_;
  QNetworkAccessManager network_;
  State state_ = State::signedOut;
  QString label_;
  QUrl verificationURL_;
  std::optional<std::string> error_;
  bool checking_ = false;
  std::optional<Verification> verification_;
  std::optional<QString> activeToken_;
  std::uint64_t nextVerificationId_ = 1;
};

// The state's name as status lines and screens give it: "signedOut", "pending" or "signedIn".
QString accountStateName(AccountStore::State state);

}  // namespace deskplay::core
