#include "core/account/account_store.hpp"

#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrlQuery>
#include <utility>

#include "core/account/session_token.hpp"
#include "core/settings/http_base_url.hpp"

namespace deskplay::core {

namespace {

// QNetworkReply's codes below this one are failures of the connection itself; the HTTP
// statuses it turns into errors come after.
constexpr int kFirstHttpLevelError = QNetworkReply::ContentAccessDenied;

HttpAnswer answerOf(QNetworkReply& reply) {
  HttpAnswer answer;
  const QNetworkReply::NetworkError error = reply.error();
  const QVariant status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
  // A reply cut off by a time-out or a dropped connection is no answer, even after its head.
  if (status.isValid() &&
      (error == QNetworkReply::NoError || static_cast<int>(error) >= kFirstHttpLevelError)) {
    answer.status = status.toInt();
  }
  // Qt's HTTP stack drops a header sent empty, so such a header counts as absent.
  if (reply.hasRawHeader("set-auth-token")) {
    answer.authTokenHeader = reply.rawHeader("set-auth-token");
  }
  answer.body = reply.readAll();
  return answer;
}

QNetworkRequest requestFor(const QUrl& url) {
  QNetworkRequest request(url);
  request.setTransferTimeout(AccountStore::kRequestTimeoutMs);
  return request;
}

QByteArray bearer(const std::string& token) {
  return QByteArray("Bearer ") + QByteArray::fromStdString(token);
}

}  // namespace

AccountStore::AccountStore(Services services, QObject* parent)
    : QObject(parent), services_(services) {}

AccountStore::~AccountStore() {
  // Replies that end while the network manager goes must not call back into the store.
  for (QNetworkReply* reply : network_.findChildren<QNetworkReply*>()) reply->disconnect(this);
}

void AccountStore::signIn() {
  if (verification_) return;
  setError(std::nullopt);
  const auto base = httpBaseURL(services_.preferences);
  if (!base.ok()) return setError(base.message());
  const QUrl page = endpointURL(base.value(), "app-signin");
  setState(State::pending, {}, page);
  static_cast<void>(services_.workspace.openUrl(page.toString(QUrl::FullyEncoded).toStdString()));
}

void AccountStore::handleSignInURL(const QUrl& url) {
  if (url.scheme().toLower() != "deskplay" || url.host().toLower() != "signin") return;
  QString token;
  for (const auto& [key, value] : QUrlQuery(url).queryItems(QUrl::FullyDecoded)) {
    if (key != "token") continue;
    token = value;
    break;
  }
  if (token.isEmpty()) return;
  if (state_ == State::signedIn || verification_ || activeToken_ == token) return;

  setError(std::nullopt);
  activeToken_ = token;
  emit activationRequested();

  const std::uint64_t id = nextVerificationId_++;
  verification_ = Verification{id, nullptr};
  const auto base = httpBaseURL(services_.preferences);
  if (!base.ok()) return verificationEnded(id, SignInFailed{base.message()});
  QNetworkRequest request = requestFor(endpointURL(base.value(), "api/auth/one-time-token/verify"));
  request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArray("application/json"));
  const QByteArray body =
      QJsonDocument(QJsonObject{{"token", token}}).toJson(QJsonDocument::Compact);
  QNetworkReply* reply = network_.post(request, body);
  verification_->reply = reply;
  connect(reply, &QNetworkReply::finished, this, [this, id, reply] {
    reply->deleteLater();
    if (!isCurrent(id)) return;
    verificationEnded(id, signInOutcome(answerOf(*reply)));
  });
}

void AccountStore::verificationEnded(std::uint64_t id, const SignInOutcome& outcome) {
  if (const auto* success = std::get_if<SignInSucceeded>(&outcome)) {
    storeDeskplaySessionToken(services_.keychain, success->sessionToken);
    // The sign-in ends with the account call: the state is what that finds.
    return startRefresh(id);
  }
  if (const auto* failure = std::get_if<SignInFailed>(&outcome)) {
    setError(failure->message);
  } else {
    setError(std::string(kSignInLinkExpiredMessage));
  }
  setState(State::signedOut);
  finishVerification(id);
}

void AccountStore::cancelSignIn() {
  dropVerification();
  activeToken_.reset();
  if (state_ == State::pending) setState(State::signedOut);
}

void AccountStore::reopenApproval() {
  if (state_ != State::pending) return;
  static_cast<void>(
      services_.workspace.openUrl(verificationURL_.toString(QUrl::FullyEncoded).toStdString()));
}

void AccountStore::refresh() {
  startRefresh(std::nullopt);
}

void AccountStore::startRefresh(std::optional<std::uint64_t> verification) {
  const auto token = deskplaySessionToken(services_.keychain);
  if (!token) {
    setState(State::signedOut);
    return finishVerification(verification);
  }
  setChecking(true);
  const auto base = httpBaseURL(services_.preferences);
  if (!base.ok()) {
    setChecking(false);
    return finishVerification(verification);
  }
  QNetworkRequest request = requestFor(endpointURL(base.value(), "api/me"));
  request.setRawHeader("Authorization", bearer(*token));
  QNetworkReply* reply = network_.get(request);
  if (verification) verification_->reply = reply;
  connect(reply, &QNetworkReply::finished, this, [this, verification, token, reply] {
    reply->deleteLater();
    // A sign-in given up meanwhile drops what its account call found; so does a sign-out or a
    // new sign-in, which leave another session stored than the one asked about.
    if (!isCurrent(verification) || deskplaySessionToken(services_.keychain) != token) {
      setChecking(false);
    } else {
      accountAnswered(answerOf(*reply));
      finishVerification(verification);
    }
    emit accountCallEnded();
  });
}

void AccountStore::accountAnswered(const HttpAnswer& answer) {
  const AccountOutcome outcome = accountOutcome(answer);
  if (const auto* found = std::get_if<AccountFound>(&outcome)) {
    setError(std::nullopt);
    setState(State::signedIn, QString::fromStdString(found->label));
  } else if (std::holds_alternative<AccountSessionEnded>(outcome)) {
    deleteDeskplaySessionToken(services_.keychain);
    setState(State::signedOut);
  } else {
    setError(std::string(kAccountCheckFailedMessage));
  }
  setChecking(false);
}

bool AccountStore::isCurrent(std::optional<std::uint64_t> verification) const {
  return !verification || (verification_ && verification_->id == *verification);
}

void AccountStore::finishVerification(std::optional<std::uint64_t> verification) {
  if (!verification || !isCurrent(verification)) return;
  verification_.reset();
  activeToken_.reset();
}

void AccountStore::dropVerification() {
  if (!verification_) return;
  const QPointer<QNetworkReply> reply = verification_->reply;
  verification_.reset();
  if (reply) reply->abort();
}

void AccountStore::signOut() {
  dropVerification();
  activeToken_.reset();
  const auto token = deskplaySessionToken(services_.keychain);
  const auto base = httpBaseURL(services_.preferences);
  if (token && base.ok()) {
    QNetworkRequest request = requestFor(endpointURL(base.value(), "api/auth/sign-out"));
    request.setRawHeader("Authorization", bearer(*token));
    QNetworkReply* reply = network_.post(request, QByteArray());
    connect(reply, &QNetworkReply::finished, reply, &QObject::deleteLater);
  }
  deleteDeskplaySessionToken(services_.keychain);
  setState(State::signedOut);
  setError(std::nullopt);
}

void AccountStore::setState(State state, QString label, QUrl verificationURL) {
  if (state_ == state && label_ == label && verificationURL_ == verificationURL) return;
  state_ = state;
  label_ = std::move(label);
  verificationURL_ = std::move(verificationURL);
  emit stateChanged();
}

void AccountStore::setError(std::optional<std::string> error) {
  if (error_ == error) return;
  error_ = std::move(error);
  emit errorChanged();
}

void AccountStore::setChecking(bool checking) {
  if (checking_ == checking) return;
  checking_ = checking;
  emit checkingChanged();
}

QString accountStateName(AccountStore::State state) {
  switch (state) {
    case AccountStore::State::signedOut:
      return QStringLiteral("signedOut");
    case AccountStore::State::pending:
      return QStringLiteral("pending");
    case AccountStore::State::signedIn:
      return QStringLiteral("signedIn");
  }
  return QStringLiteral("signedOut");
}

}  // namespace deskplay::core
