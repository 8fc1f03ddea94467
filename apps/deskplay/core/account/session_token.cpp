#include "core/account/session_token.hpp"

#include "common/utf8.hpp"

namespace deskplay::core {

std::optional<std::string> deskplaySessionToken(platform::Keychain& keychain) {
  const auto secret = keychain.copyPassword(kSessionTokenService, kSessionTokenAccount);
  if (!secret) return std::nullopt;
  std::string token(secret->begin(), secret->end());
  if (token.empty() || !isValidUtf8(token)) return std::nullopt;
  return token;
}

void storeDeskplaySessionToken(platform::Keychain& keychain, const std::string& token) {
  deleteDeskplaySessionToken(keychain);
  static_cast<void>(keychain.addPassword(kSessionTokenService, kSessionTokenAccount,
                                         platform::Keychain::Secret(token.begin(), token.end()),
                                         platform::Keychain::Access::afterFirstUnlock));
}

void deleteDeskplaySessionToken(platform::Keychain& keychain) {
  static_cast<void>(keychain.deletePasswords(kSessionTokenService, kSessionTokenAccount));
}

}  // namespace deskplay::core
