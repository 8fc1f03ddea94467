#include "core/account/session_token.hpp"

#include <gtest/gtest.h>

#include "platform/testing/fake_keychain.hpp"

namespace deskplay::core {
namespace {

using platform::Keychain;

void putSecret(platform::testing::FakeKeychain& keychain, const Keychain::Secret& secret) {
  ASSERT_TRUE(keychain
                  .addPassword(kSessionTokenService, kSessionTokenAccount, secret,
                               Keychain::Access::afterFirstUnlock)
                  .ok());
}

TEST(SessionToken, StoringReplacesTheItemAndDeletingRemovesIt) {
  platform::testing::FakeKeychain keychain;
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);
  storeDeskplaySessionToken(keychain, "first");
  storeDeskplaySessionToken(keychain, "second");
  EXPECT_EQ(deskplaySessionToken(keychain), "second");
  const std::string stored = "second";
  EXPECT_EQ(keychain.stored("quillon.deskplay", "room-server-session"),
            Keychain::Secret(stored.begin(), stored.end()));
  deleteDeskplaySessionToken(keychain);
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);
  deleteDeskplaySessionToken(keychain);
}

TEST(SessionToken, WhatIsNoTokenReadsAsNone) {
  for (const Keychain::Secret& secret : {Keychain::Secret{}, Keychain::Secret{0xff, 0xfe}}) {
    platform::testing::FakeKeychain keychain;
    putSecret(keychain, secret);
    EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);
  }
}

TEST(SessionToken, ALockedKeychainHoldsNoTokenAndRefusesSilently) {
  platform::testing::FakeKeychain keychain;
  storeDeskplaySessionToken(keychain, "kept");
  keychain.lock(true);
  EXPECT_EQ(deskplaySessionToken(keychain), std::nullopt);
  storeDeskplaySessionToken(keychain, "new");
  deleteDeskplaySessionToken(keychain);
  keychain.lock(false);
  EXPECT_EQ(deskplaySessionToken(keychain), "kept");
}

}  // namespace
}  // namespace deskplay::core
