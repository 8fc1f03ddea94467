#pragma once

#include "common/result.hpp"

namespace deskplay::platform {

// The service-management registration of the main application as a login item.
// Main thread; calls block briefly and never call back.
class LoginItems {
 public:
  // The service's status values, with their numbers.
  enum class ServiceStatus {
    notRegistered = 0,
    enabled = 1,
    requiresApproval = 2,
    notFound = 3,
  };

  virtual ~LoginItems() = default;

  virtual ServiceStatus status() = 0;
  // Registers the application to open at login. A registration that fails leaves the status
  // as it was.
  virtual Status registerMainApp() = 0;
  // Removes the registration; fails when there was none.
  virtual Status unregisterMainApp() = 0;
};

}  // namespace deskplay::platform
