#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/distributed_notifications.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// Distributed notifications through simdesk, which logs what is posted. Observers are called
// when the connection's events are dispatched (SimdeskEventPump). Without simdesk, posts go
// nowhere and nothing is observed.
class SimDistributedNotifications final : public DistributedNotifications {
 public:
  explicit SimDistributedNotifications(simdesk::protocol::Connection& connection)
      : connection_(connection) {}

  void post(const std::string& name) override;
  std::unique_ptr<Observation> observe(const std::string& name,
                                       std::function<void()> posted) override;

 private:
  simdesk::protocol::Connection& connection_;
};

}  // namespace deskplay::platform
