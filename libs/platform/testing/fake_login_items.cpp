#include "platform/testing/fake_login_items.hpp"

namespace deskplay::platform::testing {

Status FakeLoginItems::registerMainApp() {
  ++registers_;
  switch (answer_) {
    case RegistrationAnswer::enable:
      status_ = ServiceStatus::enabled;
      return Status::success();
    case RegistrationAnswer::holdForApproval:
      status_ = ServiceStatus::requiresApproval;
      return Error{"Operation not permitted"};
    case RegistrationAnswer::refuse:
      break;
  }
  return Error{"Invalid argument"};
}

Status FakeLoginItems::unregisterMainApp() {
  ++unregisters_;
  if (status_ == ServiceStatus::notRegistered || status_ == ServiceStatus::notFound) {
    return Error{"Operation not permitted"};
  }
  status_ = ServiceStatus::notRegistered;
  return Status::success();
}

}  // namespace deskplay::platform::testing
