// Signing in with the fake room server, which answers exactly as the contract says.
#include <gtest/gtest.h>

#include "account_cli_fixture.hpp"

namespace deskplay::testing {
namespace {

TEST_F(AccountCli, SignInThroughTheBrowserGivesEnginesTheSessionUntilSignOut) {
  startInstance();
  QJsonObject state = status();
  EXPECT_EQ(state.value("serverURL").toString().toStdString(), serverURL_);
  EXPECT_EQ(state.value("account").toObject(), (QJsonObject{{"state", "signedOut"},
                                                            {"label", QJsonValue::Null},
                                                            {"error", QJsonValue::Null},
                                                            {"checking", false}}));
  EXPECT_EQ(engineEnvironmentOfOneGame().find("DESKPLAY_SESSION_TOKEN="), std::string::npos);

  const Completed signIn = run({"sign-in"});
  ASSERT_EQ(signIn.status, 0) << signIn.errors;
  ASSERT_TRUE(waitForAccountState("signedIn")) << readFile(dir_ / "browser/url-errors");
  EXPECT_EQ(account().value("label").toString(), "ada@example.com");
  EXPECT_TRUE(account().value("error").isNull());
  EXPECT_EQ(readFile(dir_ / "browser/opened"), "http" + serverURL_.substr(2) + "/app-signin\n");
  ASSERT_TRUE(eventually([&] { return fs::exists(dir_ / "browser/url-status"); }));
  EXPECT_EQ(readFile(dir_ / "browser/url-status"), "0\n");
  EXPECT_EQ(storedToken(), kSessionToken);

  const std::string withToken = engineEnvironmentOfOneGame();
  EXPECT_TRUE(hasLine(withToken, std::string("DESKPLAY_SESSION_TOKEN=") + kSessionToken))
      << withToken;

  const Completed signOut = run({"sign-out"});
  ASSERT_EQ(signOut.status, 0) << signOut.errors;
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  EXPECT_EQ(storedToken(), std::nullopt);
  EXPECT_EQ(engineEnvironmentOfOneGame().find("DESKPLAY_SESSION_TOKEN="), std::string::npos);
  ASSERT_TRUE(eventually([&] { return serverRequests().size() == 4; }));
  EXPECT_EQ(serverRequests(), (std::vector<std::string>{
                                  "GET /app-signin",
                                  "POST /api/auth/one-time-token/verify",
                                  std::string("GET /api/me Bearer ") + kSessionToken,
                                  std::string("POST /api/auth/sign-out Bearer ") + kSessionToken,
                              }));
}

TEST_F(AccountCli, ARefreshFindsAStoredSessionAgain) {
  platform::SecretServiceKeychain keychain;
  const std::string token = kSessionToken;
  ASSERT_TRUE(keychain
                  .addPassword("quillon.deskplay", "room-server-session",
                               platform::Keychain::Secret(token.begin(), token.end()),
                               platform::Keychain::Access::afterFirstUnlock)
                  .ok());
  startInstance();
  // The state is not kept across runs: it starts signed out.
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  ASSERT_EQ(run({"refresh"}).status, 0);
  ASSERT_TRUE(waitForAccountState("signedIn"));
  EXPECT_EQ(account().value("label").toString(), "ada@example.com");
  EXPECT_FALSE(account().value("checking").toBool());
}

TEST_F(AccountCli, ALinkStartsAnInstanceWhenNoneRuns) {
  const Completed link = run({"URL", "deskplay://signin?token=one-time-1"});
  ASSERT_EQ(link.status, 0) << link.errors;
  EXPECT_TRUE(link.output.empty());
  ASSERT_TRUE(waitForAccountState("signedIn"));
  EXPECT_EQ(processesOf(*executable_, homeEntry()).size(), 1U);

  // A link used once is refused by the server the second time, which the status shows.
  ASSERT_EQ(run({"sign-out"}).status, 0);
  ASSERT_EQ(run({"URL", "deskplay://signin?token=one-time-1"}).status, 0);
  EXPECT_TRUE(eventually([&] {
    return account().value("error").toString() ==
           "That sign-in link expired or was already used. Try again.";
  }));
}

TEST_F(AccountCli, SignInWithAnUnusableServerAddressFails) {
  setServerURL("ws://");
  startInstance();
  const Completed signIn = run({"sign-in"});
  EXPECT_EQ(signIn.status, 1);
  EXPECT_EQ(signIn.errors, "The room server URL isn't a valid address.\n");
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  EXPECT_FALSE(fs::exists(dir_ / "browser/opened"));
}

}  // namespace
}  // namespace deskplay::testing
