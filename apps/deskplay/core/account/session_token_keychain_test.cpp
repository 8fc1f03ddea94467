// The session token in a real Secret Service: a gnome-keyring in a D-Bus session of the
// test's own.
#include <gtest/gtest.h>

#include "core/account/session_token.hpp"
#include "platform/linux/secret_service_keychain.hpp"

namespace deskplay::core {
namespace {

TEST(SessionTokenInTheKeyring, IsStoredReplacedAndDeletedUnderItsItem) {
  platform::SecretServiceKeychain keychain;
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);

  storeDeskplaySessionToken(keychain, "first-token");
  storeDeskplaySessionToken(keychain,
                            "s\xC3\xA9"
                            "cond-token");
  EXPECT_EQ(deskplaySessionToken(keychain),
            "s\xC3\xA9"
            "cond-token");
  const std::string expected =
      "s\xC3\xA9"
      "cond-token";
  EXPECT_EQ(keychain.copyPassword("quillon.deskplay", "room-server-session"),
            platform::Keychain::Secret(expected.begin(), expected.end()));
  // One item only: deleting it once leaves none behind.
  ASSERT_TRUE(keychain.deletePasswords("quillon.deskplay", "room-server-session").ok());
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);

  storeDeskplaySessionToken(keychain, "third-token");
  deleteDeskplaySessionToken(keychain);
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);
  EXPECT_EQ(keychain.copyPassword("quillon.deskplay", "room-server-session"), std::nullopt);
}

}  // namespace
}  // namespace deskplay::core
