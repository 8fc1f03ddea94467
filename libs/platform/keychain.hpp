#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/result.hpp"

namespace deskplay::platform {

// The login keychain's generic-password items, found by service and account.
// Calls block until the keychain answers, or gives up (which counts as a refusal); any thread
// may call them, one at a time.
class Keychain {
 public:
  using Secret = std::vector<unsigned char>;

  // When the item may be read; generic passwords of this application are readable after the
  // first unlock of the session.
  enum class Access { afterFirstUnlock };

  virtual ~Keychain() = default;

  // The secret of the item, or nothing when there is none or it cannot be read (locked,
  // refused, no keychain service).
  virtual std::optional<Secret> copyPassword(const std::string& service,
                                             const std::string& account) = 0;
  // Adds a new item. Fails when an item with the same service and account exists already
  // (it is not replaced) or when the keychain refuses.
  virtual Status addPassword(const std::string& service, const std::string& account,
                             const Secret& secret, Access access) = 0;
  // Deletes every item with this service and account. Fails when there is none, or when the
  // keychain refuses.
  virtual Status deletePasswords(const std::string& service, const std::string& account) = 0;
};

// The keychain's texts for the two outcomes callers may want to tell apart.
inline constexpr const char* kKeychainDuplicateItem =
    "The specified item already exists in the keychain.";
inline constexpr const char* kKeychainItemNotFound =
    "The specified item could not be found in the keychain.";

}  // namespace deskplay::platform
