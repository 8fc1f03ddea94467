#include "sim/simdesk/server/client_registry.hpp"

#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::server {

namespace requests = protocol::requests;

void ClientRegistry::addRequests(RequestDispatcher& dispatcher) {
  dispatcher.add(requests::hello, [this](Client& client, const RequestFields& request) {
    return greet(client, request);
  });
  dispatcher.add(requests::subscribe,
                 [](Client& client, const RequestFields& request) -> Result<nlohmann::json> {
                   auto events = request.raw("events");
                   if (!events.ok()) return events.error();
                   if (!events.value().is_array()) return Error{"\"events\" must be a list"};
                   for (const auto& event : events.value()) {
                     if (!event.is_string()) return Error{"\"events\" must hold names"};
                   }
                   for (const auto& event : events.value()) {
                     client.subscriptions.insert(event.get<std::string>());
                   }
                   return nlohmann::json::object();
                 });
}

Result<nlohmann::json> ClientRegistry::greet(Client& client, const RequestFields& request) {
  auto application = request.text("app");
  if (!application.ok()) return application.error();
  auto pid = request.integer("pid");
  if (!pid.ok()) return pid.error();
  if (application.value().empty()) return Error{"\"app\" must not be empty"};
  if (pid.value() <= 0 || pid.value() >= Applications::kDockPid) {
    return Error{"\"pid\" must be a process id"};
  }
  if (client.greeted) {
    if (client.application == application.value() && client.pid == pid.value()) {
      return nlohmann::json::object();
    }
    return Error{"this connection already said hello"};
  }
  client.greeted = true;
  client.application = application.value();
  client.pid = static_cast<platform::ProcessId>(pid.value());
  ++connections_[client.pid];
  desktop_.clientConnected(client.pid, client.application);
  return nlohmann::json::object();
}

void ClientRegistry::leave(const Client& client) {
  if (!client.greeted) return;
  const auto found = connections_.find(client.pid);
  if (found == connections_.end()) return;
  if (--found->second > 0) return;
  connections_.erase(found);
  desktop_.clientDisconnected(client.pid);
}

}  // namespace deskplay::simdesk::server
