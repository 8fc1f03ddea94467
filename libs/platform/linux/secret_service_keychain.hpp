#pragma once

#include <chrono>
#include <optional>
#include <string>

#include "platform/keychain.hpp"

namespace deskplay::platform {

// Generic passwords in the Secret Service of the desktop session (gnome-keyring, KWallet, …),
// stored in its default collection under a schema of our own with the attributes "service"
// and "account". Items of other schemas are never seen or touched.
class SecretServiceKeychain final : public Keychain {
 public:
  // The schema our items carry; it keeps them apart from other applications' items.
  static constexpr const char* kSchemaName = "quillon.deskplay.GenericPassword";
  // Long enough for a person to answer an unlock prompt.
  static constexpr std::chrono::milliseconds kDefaultAnswerTimeout = std::chrono::seconds(60);

  // Each call gives up after `answerTimeout`: a service that never answers (a stuck bus, a
  // prompt nobody sees) counts as a refusal.
  explicit SecretServiceKeychain(std::chrono::milliseconds answerTimeout = kDefaultAnswerTimeout);

  std::optional<Secret> copyPassword(const std::string& service,
                                     const std::string& account) override;
  Status addPassword(const std::string& service, const std::string& account, const Secret& secret,
                     Access access) override;
  Status deletePasswords(const std::string& service, const std::string& account) override;

 private:
  std::chrono::milliseconds answerTimeout_;
};

}  // namespace deskplay::platform
