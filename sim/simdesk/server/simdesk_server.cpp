#include "sim/simdesk/server/simdesk_server.hpp"

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>

#include "sim/simdesk/protocol/messages.hpp"
#include "sim/simdesk/server/request_handlers.hpp"
#include "sim/simdesk/server/socket_claim.hpp"

namespace deskplay::simdesk::server {

namespace {

// A line longer than this without a line feed is no request of ours.
constexpr std::size_t kMaxLineBytes = std::size_t{64} << 20;

}  // namespace

SimdeskServer::SimdeskServer(SimulatedDesktop& desktop, RequestDispatcher& dispatcher,
                             ClientRegistry& clients)
    : desktop_(desktop),
      dispatcher_(dispatcher),
      clients_(clients),
      server_([this](UniqueFd socket) { accept(std::move(socket)); }) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  finderSettle_.setSingleShot(true);
  QObject::connect(&finderSettle_, &QTimer::timeout, this, [this] {
    desktop_.finder().settle();
    scheduleFinderSettle();
  });
  tapTimeout_.setSingleShot(true);
  tapTimeout_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&tapTimeout_, &QTimer::timeout, this, [this] {
    desktop_.events().settle();
    scheduleTapTimeout();
  });
  EventPipeline& events = desktop_.events();
  events.addWaitListener([this](platform::Clock::Seconds) { scheduleTapTimeout(); });
  events.addDeliveredListener([this](std::uint64_t sequence) {
    push(protocol::events::eventsDelivered, {{"sequence", sequence}});
  });
  addEventRequests(dispatcher_, desktop_,
                   [this](std::uint64_t connection, std::string_view name, nlohmann::json fields) {
                     pushTo(connection, name, std::move(fields));
                   });
  const ProcessPush toProcess = [this](platform::ProcessId pid, std::string_view name,
                                       nlohmann::json fields) {
    pushToProcess(pid, name, std::move(fields));
  };
  addContentWindowRequests(dispatcher_, desktop_, toProcess);
  addStatusItemRequests(dispatcher_, desktop_, toProcess);
  addSessionRequests(
      dispatcher_, desktop_, toProcess,
      [this](std::string_view name, nlohmann::json fields) { push(name, std::move(fields)); });
}

SimdeskServer::~SimdeskServer() {
  close();
}

Status SimdeskServer::listen(const std::filesystem::path& path) {
  if (Status claimed = claimSocketPath(path); !claimed.ok()) return claimed;
  if (!server_.listen(QString::fromStdString(path.string()))) {
    return Error{"cannot listen on " + path.string() + ": " + server_.errorString().toStdString()};
  }
  path_ = path;
  struct stat status {};
  if (::lstat(path.c_str(), &status) == 0) socketInode_ = status.st_ino;
  return Status::success();
}

void SimdeskServer::close() {
  for (auto& [id, connection] : connections_) {
    desktop_.events().removeClient(connection->client.connection);
    if (!connection->closed) clients_.leave(connection->client);
  }
  connections_.clear();
  if (!server_.isListening()) return;
  server_.close();
  // Only our own socket goes: a later simdesk may have taken the path over.
  struct stat status {};
  if (::lstat(path_.c_str(), &status) == 0 && status.st_ino == socketInode_) {
    ::unlink(path_.c_str());
  }
}

void SimdeskServer::push(std::string_view name, nlohmann::json fields) {
  nlohmann::json event = fields.is_object() ? std::move(fields) : nlohmann::json::object();
  event[protocol::fields::event] = name;
  const std::string line = event.dump() + "\n";
  for (auto& [id, connection] : connections_) {
    if (!connection->closed && connection->client.subscriptions.contains(name)) {
      connection->channel->write(line);
    }
  }
}

void SimdeskServer::pushTo(std::uint64_t connection, std::string_view name, nlohmann::json fields) {
  const auto found = connections_.find(connection);
  if (found == connections_.end()) return;
  Connection& entry = *found->second;
  if (entry.closed || !entry.client.subscriptions.contains(name)) return;
  nlohmann::json event = fields.is_object() ? std::move(fields) : nlohmann::json::object();
  event[protocol::fields::event] = name;
  // Written at once as far as the socket takes it: a tap waits for its event.
  entry.channel->write(event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n");
}

void SimdeskServer::pushToProcess(platform::ProcessId pid, std::string_view name,
                                  nlohmann::json fields) {
  nlohmann::json event = fields.is_object() ? std::move(fields) : nlohmann::json::object();
  event[protocol::fields::event] = name;
  const std::string line =
      event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  for (auto& [id, connection] : connections_) {
    if (!connection->closed && connection->client.greeted && connection->client.pid == pid &&
        connection->client.subscriptions.contains(name)) {
      connection->channel->write(line);
    }
  }
}

void SimdeskServer::accept(UniqueFd socket) {
  auto connection = std::make_unique<Connection>();
  const std::uint64_t id = nextConnection_++;
  connection->client.connection = id;
  Connection* raw = connection.get();
  connection->channel = std::make_unique<ClientChannel>(
      std::move(socket), [this, raw] { read(*raw); }, [this, id] { drop(id); });
  connections_.emplace(id, std::move(connection));
}

void SimdeskServer::read(Connection& connection) {
  if (connection.closed) return;
  std::string bytes;
  const bool open = connection.channel->read(bytes, connection.client.descriptors);
  connection.lines.append(bytes);
  while (!connection.closed) {
    std::optional<std::string> line = connection.lines.takeLine();
    if (!line) break;
    const std::string reply = dispatcher_.handleLine(connection.client, *line);
    connection.channel->write(reply);
  }
  if (!connection.closed && connection.lines.pendingBytes() > kMaxLineBytes) {
    connection.channel->write(R"({"id":null,"ok":false,"error":"request line too long"})"
                              "\n");
    connection.channel->closeAfterWriting();
  }
  // Descriptors no request took are not kept beyond the lines they came with.
  if (!connection.lines.hasLine() && connection.lines.pendingBytes() == 0) {
    connection.client.descriptors.clear();
  }
  if (!open) drop(connection.client.connection);
  scheduleFinderSettle();
}

void SimdeskServer::drop(std::uint64_t id) {
  const auto found = connections_.find(id);
  if (found == connections_.end() || found->second->closed) return;
  found->second->closed = true;
  // Its taps go first: an event waiting for one of them goes on.
  desktop_.events().removeClient(found->second->client.connection);
  clients_.leave(found->second->client);
  // The channel may be telling us from inside its own work; the connection goes once
  // control is back in the event loop.
  QMetaObject::invokeMethod(
      this, [this, id] { connections_.erase(id); }, Qt::QueuedConnection);
}

void SimdeskServer::scheduleFinderSettle() {
  const auto left = desktop_.finder().timeToNextTransition();
  if (!left) return;
  const auto milliseconds = static_cast<int>(std::ceil(left->count() * 1000.0));
  finderSettle_.start(std::max(milliseconds, 1));
}

void SimdeskServer::scheduleTapTimeout() {
  const auto left = desktop_.events().timeToNextTimeout();
  if (!left) return;
  // One millisecond late rather than early: the time-out is applied only once it has passed.
  const auto milliseconds = static_cast<int>(std::ceil(left->count() * 1000.0)) + 1;
  tapTimeout_.start(milliseconds);
}

}  // namespace deskplay::simdesk::server
