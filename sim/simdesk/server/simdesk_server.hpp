#pragma once

#include <sys/types.h>

#include <QObject>
#include <QTimer>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <string_view>

#include "common/result.hpp"
#include "sim/simdesk/model/simulated_desktop.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"
#include "sim/simdesk/server/client_channel.hpp"
#include "sim/simdesk/server/client_registry.hpp"
#include "sim/simdesk/server/request_dispatcher.hpp"

namespace deskplay::simdesk::server {

// simdesk's socket on the main thread's event loop: accepts connections, answers each
// request line in order through the dispatcher, and pushes events to the connections that
// subscribed to them. Requests are handled one at a time, so the model never sees two at once.
// It also serves the input event requests, whose taps and monitors push to the connection
// that made them; an event waiting for a tap's verdict never holds up other requests.
class SimdeskServer final : public QObject {
 public:
  SimdeskServer(SimulatedDesktop& desktop, RequestDispatcher& dispatcher, ClientRegistry& clients);
  ~SimdeskServer() override;

  // Claims the path (see claimSocketPath) and listens on it.
  Status listen(const std::filesystem::path& path);
  // Stops listening, closes every connection and removes the socket file.
  void close();
  // Sends {"event": name, …fields} to every connection subscribed to `name`.
  void push(std::string_view name, nlohmann::json fields);
  // The same to every connection of one process that subscribed.
  void pushToProcess(platform::ProcessId pid, std::string_view name, nlohmann::json fields);
  // The same to one connection, when it subscribed.
  void pushTo(std::uint64_t connection, std::string_view name, nlohmann::json fields);

 private:
  struct Connection {
    std::unique_ptr<ClientChannel> channel;
    Client client;
    protocol::LineBuffer lines;
    bool closed = false;
  };

  void accept(UniqueFd socket);
  void read(Connection& connection);
  void drop(std::uint64_t id);
  // Finder finishes launching after a while; a timer applies it even when nobody asks.
  void scheduleFinderSettle();
  // A tap that does not answer in time is disabled when its time is up.
  void scheduleTapTimeout();

  SimulatedDesktop& desktop_;
  RequestDispatcher& dispatcher_;
  ClientRegistry& clients_;
  DescriptorServer server_;
  std::filesystem::path path_;
  ino_t socketInode_ = 0;
  std::map<std::uint64_t, std::unique_ptr<Connection>> connections_;  // by connection number
  QTimer finderSettle_;
  QTimer tapTimeout_;
  std::uint64_t nextConnection_ = 1;
};

}  // namespace deskplay::simdesk::server
