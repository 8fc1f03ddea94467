#pragma once

#include <cstdint>
#include <memory>

#include "platform/status_items.hpp"
#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// Status items in simdesk's menu bar. Mouse-downs and the person's removal are pushed by
// simdesk and reach the handlers when the connection's events are dispatched
// (SimdeskEventPump); a mouse-down's verdict goes back at once. An item keeps its state
// without simdesk (no frame then) and is put in the bar again by the next change after
// simdesk came back.
class SimStatusItems final : public StatusItems {
 public:
  explicit SimStatusItems(simdesk::protocol::Connection& connection) : connection_(connection) {}

  std::unique_ptr<StatusItem> createItem(const StatusItemAppearance& appearance) override;

 private:
  simdesk::protocol::Connection& connection_;
};

}  // namespace deskplay::platform
