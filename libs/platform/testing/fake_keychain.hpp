#pragma once

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

#include "platform/keychain.hpp"

namespace deskplay::platform::testing {

// Generic passwords in memory, with the keychain's duplicate and not-found answers. The test
// can lock it (nothing reads; writes fail) to show that callers survive that.
class FakeKeychain final : public Keychain {
 public:
  std::optional<Secret> copyPassword(const std::string& service,
                                     const std::string& account) override;
  Status addPassword(const std::string& service, const std::string& account, const Secret& secret,
                     Access access) override;
  Status deletePasswords(const std::string& service, const std::string& account) override;

  void lock(bool locked);
  std::optional<Secret> stored(const std::string& service, const std::string& account) const;

 private:
  mutable std::mutex mutex_;
  std::map<std::pair<std::string, std::string>, Secret> items_;
  bool locked_ = false;
};

}  // namespace deskplay::platform::testing
