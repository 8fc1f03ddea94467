#pragma once

#include <QByteArray>
#include <optional>
#include <string>
#include <variant>

namespace deskplay::core {

// The texts the account store shows in `error`.
inline constexpr char kServerUnreachableMessage[] =
    "Couldn't reach the room server. Check your connection and try again.";
inline constexpr char kSignInLinkExpiredMessage[] =
    "That sign-in link expired or was already used. Try again.";
inline constexpr char kSignInUnfinishedMessage[] =
    "The room server couldn't finish sign-in. Try again.";
inline constexpr char kAccountCheckFailedMessage[] =
    "Couldn't check your account with the room server. Try again in a moment.";

// What came back for one HTTP request, as far as the account calls look at it.
struct HttpAnswer {
  // Nothing when no HTTP reply came (no connection, time-out, cancelled).
  std::optional<int> status;
  // The "set-auth-token" header, when the reply has one (even empty).
  std::optional<QByteArray> authTokenHeader;
  QByteArray body;
};

// How checking a one-time sign-in token ended.
struct SignInSucceeded {
  std::string sessionToken;
};
struct SignInFailed {
  std::string message;
};
struct SignInExpired {};
using SignInOutcome = std::variant<SignInSucceeded, SignInFailed, SignInExpired>;

// The verify call's answer: 400 is an expired or used link; 200 must carry the JSON object
// {"session":{"token":…}}, and its session token is the "set-auth-token" header's when there
// is one, else the body's; an empty token, or anything else, is a failure.
SignInOutcome signInOutcome(const HttpAnswer& answer);

// How reading the account ended.
struct AccountFound {
  // The account's email, or its name when the email is empty.
  std::string label;
};
// The server no longer knows the session: "user" is absent or null.
struct AccountSessionEnded {};
// No usable answer: not HTTP, a status other than 200, or a body that is not the account.
struct AccountUnknown {};
using AccountOutcome = std::variant<AccountFound, AccountSessionEnded, AccountUnknown>;

// The account call's answer: 200 with a JSON object whose "user", when present and not null,
// holds the strings "id", "name" and "email".
AccountOutcome accountOutcome(const HttpAnswer& answer);

}  // namespace deskplay::core
