// Signing in, refreshing and signing out against roomd, the reference room server, as a
// program of its own: the same road as with the fake server, through roomd's real sign-in
// page, and across a restart of roomd.
#include <gtest/gtest.h>

#include <QJsonArray>

#include "account_cli_fixture.hpp"

namespace deskplay::testing {
namespace {

class RoomdAccountCli : public AccountCli {
 protected:
  RoomServer roomServer() const override {
    return {{ROOMD, "--port", port_, "--data", (dir_ / "roomd").string()}, "ROOMD_READY"};
  }
  std::string browser() const override {
    return (fs::path(DESKPLAY_ACCOUNT_TEST_FIXTURES) / "roomd_browser.sh").string();
  }

  // roomd's sessions as it keeps them in its data folder.
  QJsonArray storedSessions() const {
    return QJsonDocument::fromJson(
               QByteArray::fromStdString(readFile(dir_ / "roomd/roomd-state.json")))
        .object()
        .value("sessions")
        .toArray();
  }

  void restartServerOnItsPort() {
    port_ = serverURL_.substr(serverURL_.rfind(':') + 1);
    stopServer();
    ASSERT_NO_FATAL_FAILURE(startServer(roomServer()));
  }

  std::string port_ = "0";
};

TEST_F(RoomdAccountCli, SignInRefreshAndSignOutAgainstRoomd) {
  startInstance();
  EXPECT_EQ(account().value("state").toString(), "signedOut");

  const Completed signIn = run({"sign-in"});
  ASSERT_EQ(signIn.status, 0) << signIn.errors;
  ASSERT_TRUE(waitForAccountState("signedIn"))
      << readFile(dir_ / "browser/page-errors") << readFile(dir_ / "browser/url-errors");
  EXPECT_EQ(readFile(dir_ / "browser/opened"), "http" + serverURL_.substr(2) + "/app-signin\n");
  EXPECT_EQ(account().value("label").toString(), "ada@example.com");
  const std::optional<std::string> token = storedToken();
  ASSERT_TRUE(token && !token->empty());
  EXPECT_TRUE(hasLine(engineEnvironmentOfOneGame(), "DESKPLAY_SESSION_TOKEN=" + *token));

  // The session outlives a restart of roomd.
  ASSERT_NO_FATAL_FAILURE(restartServerOnItsPort());
  ASSERT_EQ(run({"refresh"}).status, 0);
  EXPECT_TRUE(eventually([&] { return !account().value("checking").toBool(); }));
  EXPECT_EQ(account().value("state").toString(), "signedIn");
  EXPECT_TRUE(account().value("error").isNull());

  // Signing out ends the session on roomd too.
  ASSERT_EQ(storedSessions().size(), 1);
  const Completed signOut = run({"sign-out"});
  ASSERT_EQ(signOut.status, 0) << signOut.errors;
  EXPECT_EQ(account().value("state").toString(), "signedOut");
  EXPECT_EQ(storedToken(), std::nullopt);
  EXPECT_TRUE(eventually([&] { return storedSessions().isEmpty(); }));
}

TEST_F(RoomdAccountCli, ASecondUseOfTheSignInLinkIsRefused) {
  startInstance();
  ASSERT_EQ(run({"sign-in"}).status, 0);
  ASSERT_TRUE(waitForAccountState("signedIn"));
  ASSERT_EQ(run({"sign-out"}).status, 0);

  ASSERT_TRUE(eventually([&] { return fs::exists(dir_ / "browser/url-status"); }));
  std::string link = readFile(dir_ / "browser/link");
  link.erase(link.find_last_not_of('\n') + 1);
  ASSERT_TRUE(link.starts_with("deskplay://signin?token=")) << link;
  const Completed again = run({"URL", link});
  ASSERT_EQ(again.status, 0) << again.errors;
  EXPECT_TRUE(eventually([&] {
    return account().value("error").toString() ==
           "That sign-in link expired or was already used. Try again.";
  }));
  EXPECT_EQ(account().value("state").toString(), "signedOut");
}

}  // namespace
}  // namespace deskplay::testing
