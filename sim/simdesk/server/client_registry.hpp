#pragma once

#include <map>

#include "platform/accessibility.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/server/request_dispatcher.hpp"

namespace deskplay::simdesk::server {

// The connections that said hello, counted per process: a process that holds several
// connections stays a running application, with its windows, until its last one closes.
class ClientRegistry {
 public:
  explicit ClientRegistry(SimulatedDesktop& desktop) : desktop_(desktop) {}

  // Handles "hello" and "events.subscribe".
  void addRequests(RequestDispatcher& dispatcher);
  // A connection closed.
  void leave(const Client& client);

 private:
  Result<nlohmann::json> greet(Client& client, const RequestFields& request);

  SimulatedDesktop& desktop_;
  std::map<platform::ProcessId, int> connections_;
};

}  // namespace deskplay::simdesk::server
