#pragma once

#include "platform/login_items.hpp"

namespace deskplay::platform::testing {

// The login-item service, with the answer the next registration gets chosen by the test.
class FakeLoginItems final : public LoginItems {
 public:
  // What the system does with a registration.
  enum class RegistrationAnswer { enable, holdForApproval, refuse };

  ServiceStatus status() override { return status_; }
  Status registerMainApp() override;
  Status unregisterMainApp() override;

  void setStatus(ServiceStatus status) { status_ = status; }
  void answerRegistrations(RegistrationAnswer answer) { answer_ = answer; }
  int registerCount() const { return registers_; }
  int unregisterCount() const { return unregisters_; }

 private:
  ServiceStatus status_ = ServiceStatus::notRegistered;
  RegistrationAnswer answer_ = RegistrationAnswer::enable;
  int registers_ = 0;
  int unregisters_ = 0;
};

}  // namespace deskplay::platform::testing
