#include "platform/sim/sim_privacy_checks.hpp"

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::platform {

PrivacyChecks::Access SimPrivacyChecks::listenEventAccess() {
  auto reply = connection_.request(simdesk::protocol::requests::privacyListenEvent,
                                   nlohmann::json::object(), simdesk::protocol::Effect::readsOnly);
  if (!reply.ok()) return Access::unknown;
  const auto access = reply.value().find("access");
  if (access == reply.value().end() || !access->is_number_integer()) return Access::unknown;
  switch (access->get<int>()) {
    case 0:
      return Access::granted;
    case 1:
      return Access::denied;
    default:
      return Access::unknown;
  }
}

}  // namespace deskplay::platform
