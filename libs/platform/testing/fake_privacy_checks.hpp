#pragma once

#include "platform/privacy_checks.hpp"

namespace deskplay::platform::testing {

class FakePrivacyChecks final : public PrivacyChecks {
 public:
  Access listenEventAccess() override {
    ++checks_;
    return access_;
  }

  void setAccess(Access access) { access_ = access; }
  int checkCount() const { return checks_; }

 private:
  Access access_ = Access::granted;
  int checks_ = 0;
};

}  // namespace deskplay::platform::testing
