#pragma once

#include "platform/privacy_checks.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// Input Monitoring as simdesk records it for this process's application name. Without
// simdesk there is no record: unknown.
class SimPrivacyChecks final : public PrivacyChecks {
 public:
  explicit SimPrivacyChecks(simdesk::protocol::Connection& connection) : connection_(connection) {}

  Access listenEventAccess() override;

 private:
  simdesk::protocol::Connection& connection_;
};

}  // namespace deskplay::platform
