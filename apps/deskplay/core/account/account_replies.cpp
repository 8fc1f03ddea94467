#include "core/account/account_replies.hpp"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

namespace deskplay::core {

namespace {

constexpr int kOk = 200;
constexpr int kBadRequest = 400;

std::optional<QJsonObject> jsonObject(const QByteArray& body) {
  QJsonParseError error{};
  const QJsonDocument document = QJsonDocument::fromJson(body, &error);
  if (error.error != QJsonParseError::NoError || !document.isObject()) return std::nullopt;
  return document.object();
}

// The body's session.token, when the body is the verify reply.
std::optional<std::string> bodySessionToken(const QByteArray& body) {
  const auto reply = jsonObject(body);
  if (!reply) return std::nullopt;
  const QJsonValue session = reply->value("session");
  if (!session.isObject()) return std::nullopt;
  const QJsonValue token = session.toObject().value("token");
  if (!token.isString()) return std::nullopt;
  return token.toString().toStdString();
}

}  // namespace

SignInOutcome signInOutcome(const HttpAnswer& answer) {
  if (!answer.status) return SignInFailed{kServerUnreachableMessage};
  if (*answer.status == kBadRequest) return SignInExpired{};
  if (*answer.status != kOk) return SignInFailed{kSignInUnfinishedMessage};
  const auto bodyToken = bodySessionToken(answer.body);
  if (!bodyToken) return SignInFailed{kSignInUnfinishedMessage};
  const std::string token =
      answer.authTokenHeader ? answer.authTokenHeader->toStdString() : *bodyToken;
  if (token.empty()) return SignInFailed{kSignInUnfinishedMessage};
  return SignInSucceeded{token};
}

AccountOutcome accountOutcome(const HttpAnswer& answer) {
  if (answer.status != kOk) return AccountUnknown{};
  const auto reply = jsonObject(answer.body);
  if (!reply) return AccountUnknown{};
  const QJsonValue user = reply->value("user");
  if (user.isUndefined() || user.isNull()) return AccountSessionEnded{};
  if (!user.isObject()) return AccountUnknown{};
  const QJsonObject fields = user.toObject();
  for (const char* key : {"id", "name", "email"}) {
    if (!fields.value(key).isString()) return AccountUnknown{};
  }
  const QString email = fields.value("email").toString();
  return AccountFound{(email.isEmpty() ? fields.value("name").toString() : email).toStdString()};
}

}  // namespace deskplay::core
