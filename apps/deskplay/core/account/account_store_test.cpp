// The account store against a room server of the test's own on the loopback interface.
#include "core/account/account_store.hpp"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>
#include <memory>
#include <string>

#include "core/account/session_token.hpp"
#include "platform/testing/fake_keychain.hpp"
#include "platform/testing/fake_preferences.hpp"
#include "platform/testing/fake_workspace.hpp"
#include "support/fake_http_server.hpp"

namespace deskplay::core {
namespace {

using State = AccountStore::State;
using testing::DropConnection;
using testing::FakeHttpServer;
using testing::HoldRequest;
using testing::HttpReply;
using testing::jsonReply;

constexpr const char* kVerify = "/api/auth/one-time-token/verify";
constexpr const char* kMe = "/api/me";
constexpr const char* kSignOut = "/api/auth/sign-out";
constexpr const char* kAdaJson = R"({"user":{"id":"u1","name":"Ada","email":"ada@example.com"}})";

HttpReply verifyReply(const std::string& bodyToken) {
  return jsonReply(200,
                   R"({"session":{"token":")" + QByteArray::fromStdString(bodyToken) + R"("}})");
}

class AccountStoreTest : public ::testing::Test {
 protected:
  AccountStoreTest() { useServer(server); }

  void useServer(const FakeHttpServer& target) {
    const std::string address = "ws://127.0.0.1:" + std::to_string(target.port());
    static_cast<void>(preferences.setValue("serverURL", {address}));
  }

  void callback(const QString& token) {
    store.handleSignInURL(QUrl("deskplay://signin?token=" + token));
  }

  // Waits until no sign-in link is being checked and no account call is in flight.
  bool settled() {
    return QTest::qWaitFor([&] { return !store.verifying() && !store.checking(); });
  }

  std::optional<std::string> storedToken() { return deskplaySessionToken(keychain); }

  FakeHttpServer server;
  platform::testing::FakeKeychain keychain;
  platform::testing::FakePreferences preferences;
  platform::testing::FakeWorkspace workspace;
  AccountStore store{{keychain, preferences, workspace}};
};

TEST_F(AccountStoreTest, SignInOpensTheServersPageUntilTheCallbackSignsIn) {
  server.route("POST", kVerify, verifyReply("session-1"));
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  QSignalSpy activations(&store, &AccountStore::activationRequested);

  store.signIn();
  const QUrl page = QUrl(server.url().toString() + "/app-signin");
  EXPECT_EQ(store.state(), State::pending);
  EXPECT_EQ(store.verificationURL(), page);
  store.reopenApproval();
  EXPECT_EQ(workspace.openedUrls(), (std::vector<std::string>(2, page.toString().toStdString())));

  callback("one-time-1");
  EXPECT_EQ(activations.count(), 1);
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_EQ(store.label(), "ada@example.com");
  EXPECT_EQ(store.error(), std::nullopt);
  EXPECT_EQ(storedToken(), "session-1");

  const auto verify = server.requestsTo("POST", kVerify);
  ASSERT_EQ(verify.size(), 1U);
  EXPECT_EQ(verify[0].header("content-type"), "application/json");
  EXPECT_EQ(QJsonDocument::fromJson(verify[0].body).object(),
            (QJsonObject{{"token", "one-time-1"}}));
  const auto me = server.requestsTo("GET", kMe);
  ASSERT_EQ(me.size(), 1U);
  EXPECT_EQ(me[0].header("authorization"), "Bearer session-1");

  // Once signed in, the page is not reopened and further callbacks are ignored.
  store.reopenApproval();
  callback("one-time-2");
  EXPECT_EQ(workspace.openedUrls().size(), 2U);
  EXPECT_FALSE(store.verifying());
  EXPECT_EQ(server.requestsTo("POST", kVerify).size(), 1U);
}

TEST_F(AccountStoreTest, AnUnusableServerAddressStopsSignInWithItsMessage) {
  static_cast<void>(preferences.setValue("serverURL", {std::string("ws://")}));
  store.signIn();
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.error(), "The room server URL isn't a valid address.");
  EXPECT_TRUE(workspace.openedUrls().empty());

  // The same when the address goes bad between the page and its callback.
  useServer(server);
  store.signIn();
  EXPECT_EQ(store.error(), std::nullopt);
  static_cast<void>(preferences.setValue("serverURL", {std::string("ws://:99")}));
  callback("one-time");
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.error(), "The room server URL isn't a valid address.");
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(AccountStoreTest, EveryRequestGoesToTheAddressStoredAtItsStart) {
  FakeHttpServer other;
  other.route("POST", kVerify, verifyReply("session-1"));
  other.route("GET", kMe, jsonReply(200, kAdaJson));
  store.signIn();
  useServer(other);
  callback("one-time");
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_TRUE(server.requests().empty());
  EXPECT_EQ(other.requests().size(), 2U);
}

struct VerifyCase {
  const char* name;
  testing::HttpAction answer;
  // The session token stored, or the message shown.
  std::optional<std::string> token;
  std::optional<std::string> message;
};

class VerifyAnswers : public AccountStoreTest, public ::testing::WithParamInterface<VerifyCase> {};

TEST_P(VerifyAnswers, SignInOrShowTheirMessage) {
  server.route("POST", kVerify, GetParam().answer);
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(settled());
  EXPECT_EQ(storedToken(), GetParam().token);
  EXPECT_EQ(store.error(), GetParam().message);
  EXPECT_EQ(store.state(), GetParam().token ? State::signedIn : State::signedOut);
}

HttpReply withAuthHeader(HttpReply reply, const QByteArray& token) {
  reply.headers.append({"set-auth-token", token});
  return reply;
}

constexpr const char* kUnreachable =
    "Couldn't reach the room server. Check your connection and try again.";
constexpr const char* kExpired = "That sign-in link expired or was already used. Try again.";
constexpr const char* kUnfinished = "The room server couldn't finish sign-in. Try again.";

INSTANTIATE_TEST_SUITE_P(
    Table, VerifyAnswers,
    ::testing::Values(
        VerifyCase{"BodyToken", verifyReply("body-token"), "body-token", std::nullopt},
        VerifyCase{"HeaderWinsOverBody", withAuthHeader(verifyReply("body-token"), "header-token"),
                   "header-token", std::nullopt},
        VerifyCase{"HeaderWithEmptyBodyToken", withAuthHeader(verifyReply(""), "header-token"),
                   "header-token", std::nullopt},
        VerifyCase{"NoConnection", DropConnection{}, std::nullopt, kUnreachable},
        VerifyCase{"Expired", jsonReply(400, "{}"), std::nullopt, kExpired},
        VerifyCase{"OtherStatus", jsonReply(500, "{}"), std::nullopt, kUnfinished},
        VerifyCase{"NotJson", jsonReply(200, "<html>"), std::nullopt, kUnfinished},
        VerifyCase{"NoSession", withAuthHeader(jsonReply(200, "{}"), "header-token"), std::nullopt,
                   kUnfinished},
        VerifyCase{"EmptyToken", verifyReply(""), std::nullopt, kUnfinished}),
    [](const ::testing::TestParamInfo<VerifyCase>& param) { return param.param.name; });

TEST_F(AccountStoreTest, AnUnreachableServerIsReported) {
  {
    FakeHttpServer gone;
    useServer(gone);
  }
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.error(), kUnreachable);
  EXPECT_EQ(store.state(), State::signedOut);
}

TEST_F(AccountStoreTest, CallbacksOtherThanTheSignInCallbackAreIgnored) {
  server.route("POST", kVerify, HoldRequest{});
  for (const char* url :
       {"deskplay://signin?Token=x", "deskplay://signin?token=", "deskplay://signin",
        "deskplay://other?token=x", "https://signin?token=x"}) {
    store.handleSignInURL(QUrl(url));
    EXPECT_FALSE(store.verifying()) << url;
  }
  // Scheme and host are compared without regard to case; the first token counts.
  store.handleSignInURL(QUrl("DESKPLAY://SignIn?other=1&token=first&token=second"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));
  EXPECT_EQ(QJsonDocument::fromJson(server.requests()[0].body).object(),
            (QJsonObject{{"token", "first"}}));
}

TEST_F(AccountStoreTest, ARepeatedCallbackStartsOneVerification) {
  server.route("POST", kVerify, HoldRequest{});
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  store.signIn();
  callback("one-time");
  callback("one-time");
  callback("another");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));
  EXPECT_EQ(server.releaseHeld(verifyReply("session-1")), 1);
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_EQ(server.requestsTo("POST", kVerify).size(), 1U);
}

TEST_F(AccountStoreTest, CancellingDuringVerificationIgnoresTheServersLaterAnswer) {
  server.route("POST", kVerify, HoldRequest{});
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));

  store.cancelSignIn();
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.error(), std::nullopt);
  EXPECT_FALSE(store.verifying());
  // The store hangs up on the request it gave up, so no later answer can reach it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldOpen() == 0; }));
  EXPECT_EQ(server.releaseHeld(verifyReply("session-1")), 0);
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.error(), std::nullopt);
  EXPECT_EQ(storedToken(), std::nullopt);

  // A new callback is verified afresh.
  server.route("POST", kVerify, verifyReply("session-2"));
  callback("one-time");
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_EQ(storedToken(), "session-2");
}

TEST_F(AccountStoreTest, CancellingWhileTheSignInReadsTheAccountDropsWhatItFinds) {
  server.route("POST", kVerify, verifyReply("session-1"));
  server.route("GET", kMe, HoldRequest{});
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requestsTo("GET", kMe).empty(); }));
  EXPECT_TRUE(store.checking());

  store.cancelSignIn();
  EXPECT_FALSE(store.checking());
  // The store hangs up on the request it gave up, so no later answer can reach it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldOpen() == 0; }));
  EXPECT_EQ(server.releaseHeld(jsonReply(200, kAdaJson)), 0);
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.error(), std::nullopt);
}

TEST_F(AccountStoreTest, AFailedAccountCallAfterVerificationLeavesSignInPending) {
  server.route("POST", kVerify, verifyReply("session-1"));
  server.route("GET", kMe, jsonReply(500, "{}"));
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::pending);
  EXPECT_EQ(store.error(), kAccountCheckFailedMessage);
  EXPECT_EQ(storedToken(), "session-1");
}

struct AccountCase {
  const char* name;
  testing::HttpAction answer;
  State state;
  QString label;
  bool tokenKept;
  bool failed;
};

class AccountAnswers : public AccountStoreTest,
                       public ::testing::WithParamInterface<AccountCase> {};

TEST_P(AccountAnswers, SetTheState) {
  storeDeskplaySessionToken(keychain, "session-1");
  server.route("GET", kMe, GetParam().answer);
  QSignalSpy checking(&store, &AccountStore::checkingChanged);
  store.refresh();
  EXPECT_TRUE(store.checking());
  ASSERT_TRUE(settled());
  EXPECT_EQ(checking.count(), 2);
  EXPECT_EQ(store.state(), GetParam().state);
  EXPECT_EQ(store.label(), GetParam().label);
  EXPECT_EQ(storedToken().has_value(), GetParam().tokenKept);
  EXPECT_EQ(store.error(), GetParam().failed
                               ? std::optional<std::string>(kAccountCheckFailedMessage)
                               : std::nullopt);
  // The network stack may try a dropped request again.
  ASSERT_FALSE(server.requests().empty());
  for (const auto& request : server.requests()) {
    EXPECT_EQ(request.header("authorization"), "Bearer session-1");
  }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AccountAnswers,
    ::testing::Values(
        AccountCase{"Email", jsonReply(200, kAdaJson), State::signedIn, "ada@example.com", true,
                    false},
        AccountCase{"NameWhenEmailIsEmpty",
                    jsonReply(200, R"({"user":{"id":"u1","name":"Ada","email":""}})"),
                    State::signedIn, "Ada", true, false},
        AccountCase{"UserNull", jsonReply(200, R"({"user":null})"), State::signedOut, "", false,
                    false},
        AccountCase{"UserAbsent", jsonReply(200, "{}"), State::signedOut, "", false, false},
        AccountCase{"UserWithoutEmail", jsonReply(200, R"({"user":{"id":"u1","name":"Ada"}})"),
                    State::signedOut, "", true, true},
        AccountCase{"Unauthorized", jsonReply(401, kAdaJson), State::signedOut, "", true, true},
        AccountCase{"NotJson", jsonReply(200, "<html>"), State::signedOut, "", true, true},
        AccountCase{"NoConnection", DropConnection{}, State::signedOut, "", true, true}),
    [](const ::testing::TestParamInfo<AccountCase>& param) { return param.param.name; });

TEST_F(AccountStoreTest, AFailedRefreshKeepsTheStateItFound) {
  storeDeskplaySessionToken(keychain, "session-1");
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  store.refresh();
  ASSERT_TRUE(settled());
  server.route("GET", kMe, jsonReply(503, "{}"));
  store.refresh();
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_EQ(store.label(), "ada@example.com");
  EXPECT_EQ(store.error(), kAccountCheckFailedMessage);
}

TEST_F(AccountStoreTest, WithoutAStoredTokenRefreshSignsOutWithoutAsking) {
  store.signIn();
  keychain.lock(true);
  QSignalSpy checking(&store, &AccountStore::checkingChanged);
  store.refresh();
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(checking.count(), 0);
  EXPECT_TRUE(server.requests().empty());
}

TEST_F(AccountStoreTest, SignOutTellsTheServerAndForgetsTheToken) {
  storeDeskplaySessionToken(keychain, "session-1");
  server.route("GET", kMe, jsonReply(200, kAdaJson));
  server.route("POST", kSignOut, jsonReply(200, "{}"));
  store.refresh();
  ASSERT_TRUE(settled());

  store.signOut();
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.label(), "");
  EXPECT_EQ(storedToken(), std::nullopt);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !server.requestsTo("POST", kSignOut).empty(); }));
  const auto signOut = server.requestsTo("POST", kSignOut);
  EXPECT_EQ(signOut[0].header("authorization"), "Bearer session-1");
  EXPECT_TRUE(signOut[0].body.isEmpty());
}

TEST_F(AccountStoreTest, SignOutWithoutNetworkStillForgetsTheToken) {
  for (const std::string& address : {std::string("ws://"), std::string("ws://127.0.0.1:1")}) {
    storeDeskplaySessionToken(keychain, "session-1");
    static_cast<void>(preferences.setValue("serverURL", {address}));
    store.signIn();
    store.signOut();
    EXPECT_EQ(store.state(), State::signedOut) << address;
    EXPECT_EQ(store.error(), std::nullopt) << address;
    EXPECT_EQ(storedToken(), std::nullopt) << address;
  }
}

TEST_F(AccountStoreTest, AnAccountCallAnsweredAfterSignOutDoesNotSignInAgain) {
  storeDeskplaySessionToken(keychain, "session-1");
  server.route("GET", kMe, HoldRequest{});
  store.refresh();
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));
  store.signOut();
  server.releaseHeld(jsonReply(200, kAdaJson));
  ASSERT_TRUE(settled());
  EXPECT_EQ(store.state(), State::signedOut);
  EXPECT_EQ(store.label(), "");
}

TEST_F(AccountStoreTest, AnAccountCallAboutAnOldSessionLeavesANewSignInAlone) {
  storeDeskplaySessionToken(keychain, "old-session");
  server.route("GET", kMe, [](const testing::HttpRequest& request) -> testing::HttpAction {
    if (request.header("authorization") == "Bearer old-session") return HoldRequest{};
    return jsonReply(200, kAdaJson);
  });
  server.route("POST", kVerify, verifyReply("new-session"));
  store.refresh();
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));

  QSignalSpy callsEnded(&store, &AccountStore::accountCallEnded);
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(QTest::qWaitFor([&] { return store.state() == State::signedIn; }));
  ASSERT_EQ(callsEnded.count(), 1);
  // The server no longer knows the old session; the new one stays.
  server.releaseHeld(jsonReply(200, R"({"user":null})"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return callsEnded.count() == 2; }));
  EXPECT_EQ(store.state(), State::signedIn);
  EXPECT_EQ(storedToken(), "new-session");
}

TEST_F(AccountStoreTest, SignOutDuringVerificationDropsIt) {
  server.route("POST", kVerify, HoldRequest{});
  store.signIn();
  callback("one-time");
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }));
  store.signOut();
  EXPECT_FALSE(store.verifying());
  // The store hangs up on the request it gave up, so no later answer can reach it.
  ASSERT_TRUE(QTest::qWaitFor([&] { return server.heldOpen() == 0; }));
  EXPECT_EQ(server.releaseHeld(verifyReply("session-1")), 0);
  EXPECT_EQ(storedToken(), std::nullopt);
  EXPECT_EQ(store.state(), State::signedOut);
}

}  // namespace
}  // namespace deskplay::core
