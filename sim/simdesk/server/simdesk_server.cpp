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
    : desktop_(desktop), dispatcher_(dispatcher), clients_(clients) {
  server_.setSocketOptions(QLocalServer::UserAccessOption);
  QObject::connect(&server_, &QLocalServer::newConnection, this, [this] { accept(); });
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
}

SimdeskServer::~SimdeskServer() { close(); }

Status SimdeskServer::listen(const std::filesystem::path& path) {
  if (Status claimed = claimSocketPath(path); !claimed.ok()) return claimed;
  if (!server_.listen(QString::fromStdString(path.string()))) {
    return Error{"cannot listen on " + path.string() + ": " + server_.errorString().toStdString()};
  }
  path_ = path;
  struct stat status{};
  if (::lstat(path.c_str(), &status) == 0) socketInode_ = status.st_ino;
  return Status::success();
}

void SimdeskServer::close() {
  for (auto& [socket, connection] : connections_) {
    desktop_.events().removeClient(connection->client.connection);
    if (!connection->closed) clients_.leave(connection->client);
    socket->disconnect(this);
    socket->abort();
    socket->deleteLater();
  }
  connections_.clear();
  if (!server_.isListening()) return;
  server_.close();
  // Only our own socket goes: a later simdesk may have taken the path over.
  struct stat status{};
  if (::lstat(path_.c_str(), &status) == 0 && status.st_ino == socketInode_) {
    ::unlink(path_.c_str());
  }
}

void SimdeskServer::push(std::string_view name, nlohmann::json fields) {
  nlohmann::json event = fields.is_object() ? std::move(fields) : nlohmann::json::object();
  event[protocol::fields::event] = name;
  const std::string line = event.dump() + "\n";
  for (auto& [socket, connection] : connections_) {
    if (!connection->closed && connection->client.subscriptions.contains(name)) {
      socket->write(line.data(), static_cast<qint64>(line.size()));
    }
  }
}

void SimdeskServer::pushTo(std::uint64_t connection, std::string_view name, nlohmann::json fields) {
  for (auto& [socket, entry] : connections_) {
    if (entry->client.connection != connection) continue;
    if (entry->closed || !entry->client.subscriptions.contains(name)) return;
    nlohmann::json event = fields.is_object() ? std::move(fields) : nlohmann::json::object();
    event[protocol::fields::event] = name;
    const std::string line =
        event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
    socket->write(line.data(), static_cast<qint64>(line.size()));
    // A tap waits for its event: it goes out now rather than when control is back in the loop.
    socket->flush();
    return;
  }
}

void SimdeskServer::accept() {
  while (QLocalSocket* socket = server_.nextPendingConnection()) {
    auto connection = std::make_unique<Connection>();
    connection->socket = socket;
    connection->client.connection = nextConnection_++;
    Connection* raw = connection.get();
    connections_.emplace(socket, std::move(connection));
    QObject::connect(socket, &QLocalSocket::readyRead, this, [this, raw] { read(*raw); });
    QObject::connect(socket, &QLocalSocket::disconnected, this, [this, socket] { drop(socket); });
    if (socket->bytesAvailable() > 0) read(*raw);
  }
}

void SimdeskServer::read(Connection& connection) {
  QLocalSocket* socket = connection.socket;
  const QByteArray bytes = socket->readAll();
  connection.lines.append(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
  while (!connection.closed) {
    std::optional<std::string> line = connection.lines.takeLine();
    if (!line) break;
    const std::string reply = dispatcher_.handleLine(connection.client, *line);
    socket->write(reply.data(), static_cast<qint64>(reply.size()));
  }
  if (!connection.closed && connection.lines.pendingBytes() > kMaxLineBytes) {
    const std::string refusal =
        R"({"id":null,"ok":false,"error":"request line too long"})" "\n";
    socket->write(refusal.data(), static_cast<qint64>(refusal.size()));
    socket->disconnectFromServer();
  }
  scheduleFinderSettle();
}

void SimdeskServer::drop(QLocalSocket* socket) {
  const auto found = connections_.find(socket);
  if (found == connections_.end() || found->second->closed) return;
  found->second->closed = true;
  // Its taps go first: an event waiting for one of them goes on.
  desktop_.events().removeClient(found->second->client.connection);
  clients_.leave(found->second->client);
  // The socket may be telling us from inside a write of read(); the connection goes once
  // control is back in the event loop.
  QMetaObject::invokeMethod(
      this,
      [this, socket] {
        connections_.erase(socket);
        socket->deleteLater();
      },
      Qt::QueuedConnection);
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
