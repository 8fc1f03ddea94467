#include "platform/testing/fake_keychain.hpp"

namespace deskplay::platform::testing {

namespace {

constexpr const char* kLocked = "User interaction is not allowed.";

}  // namespace

std::optional<Keychain::Secret> FakeKeychain::copyPassword(const std::string& service,
                                                           const std::string& account) {
  std::lock_guard guard(mutex_);
  if (locked_) return std::nullopt;
  auto found = items_.find({service, account});
  if (found == items_.end()) return std::nullopt;
  return found->second;
}

Status FakeKeychain::addPassword(const std::string& service, const std::string& account,
                                 const Secret& secret, Access) {
  std::lock_guard guard(mutex_);
  if (locked_) return Error{kLocked};
  if (!items_.emplace(std::pair{service, account}, secret).second) {
    return Error{kKeychainDuplicateItem};
  }
  return Status::success();
}

Status FakeKeychain::deletePasswords(const std::string& service, const std::string& account) {
  std::lock_guard guard(mutex_);
  if (locked_) return Error{kLocked};
  if (items_.erase({service, account}) == 0) return Error{kKeychainItemNotFound};
  return Status::success();
}

void FakeKeychain::lock(bool locked) {
  std::lock_guard guard(mutex_);
  locked_ = locked;
}

std::optional<Keychain::Secret> FakeKeychain::stored(const std::string& service,
                                                     const std::string& account) const {
  std::lock_guard guard(mutex_);
  auto found = items_.find({service, account});
  if (found == items_.end()) return std::nullopt;
  return found->second;
}

}  // namespace deskplay::platform::testing
