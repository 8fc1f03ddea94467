#include "sim/simdesk/protocol/connection.hpp"

#include <poll.h>
#include <simdjson.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <set>
#include <utility>
#include <vector>

#include "common/system_error.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::protocol {

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsUntil(Clock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() <= 0 ? 0 : static_cast<int>(left.count());
}

// Callers tell this one apart by its kind (simdeskctl names the socket it tried).
Error unreachable() {
  return Error{ErrorKind::unavailable, "simdesk is not running"};
}

}  // namespace

Connection::Connection(ConnectionOptions options) : options_(std::move(options)) {}

Connection::~Connection() = default;

std::uint64_t Connection::generation() const {
  const MutexLock lock(mutex_);
  return generation_;
}

std::uint64_t Connection::changeCount() const {
  const MutexLock lock(mutex_);
  return changes_;
}

int Connection::eventDescriptor() const {
  const MutexLock lock(mutex_);
  return socket_.get();
}

Result<nlohmann::json> Connection::request(std::string_view type, nlohmann::json body,
                                           Effect effect) {
  Result<std::string> line = requestLine(type, std::move(body), effect);
  if (!line.ok()) return line.error();
  return nlohmann::json::parse(line.value(), nullptr, false);
}

Result<nlohmann::json> Connection::requestWithDescriptor(std::string_view type, nlohmann::json body,
                                                         int descriptor, Effect effect) {
  if (descriptor < 0) return Error{"no descriptor to pass"};
  const MutexLock lock(mutex_);
  if (effect == Effect::mayChange) ++changes_;
  if (Status connected = ensureConnected(); !connected.ok()) return connected.error();
  if (!subscriptionsSent_ && !listeners_.empty()) {
    if (Status subscribed = sendSubscriptions(); !subscribed.ok()) return subscribed.error();
  }
  const std::int64_t id = nextId_++;
  if (Status sent = sendRequest(id, type, std::move(body), descriptor); !sent.ok()) {
    disconnect();
    return sent.error();
  }
  awaited_.emplace(id, std::nullopt);
  Result<std::string> line = receiveLocked(id);
  if (!line.ok()) return line.error();
  return nlohmann::json::parse(line.value(), nullptr, false);
}

Result<std::string> Connection::requestLine(std::string_view type, nlohmann::json body,
                                            Effect effect) {
  const MutexLock lock(mutex_);
  Result<std::int64_t> id = sendLocked(type, std::move(body), effect);
  if (!id.ok()) return id.error();
  return receiveLocked(id.value());
}

Result<std::string> Connection::receive(std::int64_t id) {
  const MutexLock lock(mutex_);
  return receiveLocked(id);
}

Result<std::string> Connection::receiveLocked(std::int64_t id) {
  const auto awaited = awaited_.find(id);
  if (awaited == awaited_.end()) return Error{"no such request"};
  if (awaited->second) {
    Result<std::string> answer = std::move(*awaited->second);
    awaited_.erase(awaited);
    return answer;
  }
  if (!socket_.valid()) {
    awaited_.erase(awaited);
    return Error{"simdesk closed the connection"};
  }
  Result<std::string> answer = awaitReply(id);
  awaited_.erase(id);
  return answer;
}

Result<std::int64_t> Connection::send(std::string_view type, nlohmann::json body, Effect effect) {
  const MutexLock lock(mutex_);
  return sendLocked(type, std::move(body), effect);
}

Result<std::int64_t> Connection::sendLocked(std::string_view type, nlohmann::json body,
                                            Effect effect) {
  if (effect == Effect::mayChange) ++changes_;
  if (Status connected = ensureConnected(); !connected.ok()) return connected.error();
  if (!subscriptionsSent_ && !listeners_.empty()) {
    if (Status subscribed = sendSubscriptions(); !subscribed.ok()) return subscribed.error();
  }
  const std::int64_t id = nextId_++;
  if (Status sent = sendRequest(id, type, std::move(body)); !sent.ok()) {
    disconnect();
    return sent.error();
  }
  awaited_.emplace(id, std::nullopt);
  return id;
}

Status Connection::notify(std::string_view type, nlohmann::json body, Effect effect) {
  const MutexLock lock(mutex_);
  if (effect == Effect::mayChange) ++changes_;
  // Only over the connection open now, never a new one: what is notified (a verdict on a
  // pushed event) belongs to it. Nothing is read here either, so pushed lines stay on the
  // socket for the caller's event loop to notice.
  if (!socket_.valid()) return unreachable();
  if (Status sent = sendRequest(nextId_++, type, std::move(body)); !sent.ok()) {
    disconnect();
    return sent;
  }
  return Status::success();
}

Status Connection::sendRequest(std::int64_t id, std::string_view type, nlohmann::json body,
                               int descriptor) {
  nlohmann::json message = body.is_object() ? std::move(body) : nlohmann::json::object();
  message[fields::id] = id;
  message[fields::type] = type;
  return sendLine(message, descriptor);
}

Status Connection::ensureConnected() {
  // A connection kept from an earlier request may have been closed by a simdesk that quit
  // since; find out before using it, so that a restarted simdesk gets a fresh hello.
  if (socket_.valid() && !readAvailable()) disconnect();
  if (socket_.valid()) return Status::success();

  const std::string path = options_.socketPath.string();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof(address.sun_path)) {
    return Error{"simdesk socket path is unusable: " + path};
  }
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  UniqueFd fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd.valid()) return Error{errnoMessage("simdesk socket", errno)};
  // Non-blocking, so that a simdesk too busy to accept fails the call instead of hanging it.
  if (::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address)) != 0) {
    return unreachable();
  }
  socket_ = std::move(fd);
  incoming_.clear();
  subscriptionsSent_ = false;
  const std::int64_t id = nextId_++;
  nlohmann::json hello = {{fields::id, id},
                          {fields::type, requests::hello},
                          {"app", options_.applicationName},
                          {"pid", options_.processId}};
  if (Status sent = sendLine(hello); !sent.ok()) {
    disconnect();
    return sent;
  }
  Result<std::string> reply = awaitReply(id);
  if (!reply.ok()) {
    disconnect();
    return reply.error();
  }
  ++generation_;
  return Status::success();
}

Status Connection::sendSubscriptions() {
  std::set<std::string> names;
  for (const auto& [listenerId, entry] : listeners_) names.insert(entry.first);
  const std::int64_t id = nextId_++;
  nlohmann::json message = {{fields::id, id},
                            {fields::type, requests::subscribe},
                            {"events", std::vector<std::string>(names.begin(), names.end())}};
  if (Status sent = sendLine(message); !sent.ok()) {
    disconnect();
    return sent;
  }
  Result<std::string> reply = awaitReply(id);
  if (!reply.ok()) return reply.error();
  subscriptionsSent_ = true;
  return Status::success();
}

Status Connection::sendLine(const nlohmann::json& message, int descriptor) {
  std::string line = message.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  line.push_back('\n');
  const Clock::time_point deadline = Clock::now() + options_.replyTimeout;
  std::string_view rest = line;
  while (!rest.empty()) {
    ssize_t sent = 0;
    if (descriptor >= 0) {
      iovec vector{const_cast<char*>(rest.data()), rest.size()};
      alignas(cmsghdr) char control[CMSG_SPACE(sizeof(int))] = {};
      msghdr header{};
      header.msg_iov = &vector;
      header.msg_iovlen = 1;
      header.msg_control = control;
      header.msg_controllen = sizeof(control);
      cmsghdr* rights = CMSG_FIRSTHDR(&header);
      rights->cmsg_level = SOL_SOCKET;
      rights->cmsg_type = SCM_RIGHTS;
      rights->cmsg_len = CMSG_LEN(sizeof(int));
      std::memcpy(CMSG_DATA(rights), &descriptor, sizeof(int));
      sent = ::sendmsg(socket_.get(), &header, MSG_NOSIGNAL);
      // The descriptor went with the first byte that went.
      if (sent > 0) descriptor = -1;
    } else {
      sent = ::send(socket_.get(), rest.data(), rest.size(), MSG_NOSIGNAL);
    }
    if (sent >= 0) {
      rest.remove_prefix(static_cast<std::size_t>(sent));
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return unreachable();
    pollfd waiting{socket_.get(), POLLOUT, 0};
    if (::poll(&waiting, 1, millisecondsUntil(deadline)) <= 0) {
      return Error{"simdesk did not take the request in time"};
    }
  }
  return Status::success();
}

bool Connection::readAvailable() {
  char chunk[65536];
  while (true) {
    const ssize_t got = ::recv(socket_.get(), chunk, sizeof(chunk), 0);
    if (got > 0) {
      incoming_.append(std::string_view(chunk, static_cast<std::size_t>(got)));
      continue;
    }
    if (got == 0) return false;
    if (errno == EINTR) continue;
    return errno == EAGAIN || errno == EWOULDBLOCK;
  }
}

void Connection::keepPushed(nlohmann::json message) {
  // Only a pushed event has a name to dispatch on; anything else would make the name's
  // typed read throw in the caller's event loop.
  if (!message.is_object() || message.contains(fields::id)) return;
  const auto name = message.find(fields::event);
  if (name != message.end() && name->is_string()) pushed_.push_back(std::move(message));
}

std::optional<Result<std::string>> Connection::answerTo(std::int64_t id, std::string&& line) {
  // Only the envelope is read here: a reply may carry thousands of elements, which the
  // caller decodes once.
  simdjson::padded_string padded(line);
  simdjson::ondemand::document document;
  simdjson::ondemand::object object;
  if (envelopeParser_.iterate(padded).get(document) || document.get_object().get(object)) {
    return std::nullopt;
  }
  std::int64_t replyId = 0;
  const auto idError = object.find_field_unordered(fields::id).get_int64().get(replyId);
  if (idError == simdjson::NO_SUCH_FIELD) {
    keepPushed(nlohmann::json::parse(line, nullptr, false));
    return std::nullopt;
  }
  if (idError) return std::nullopt;
  if (replyId != id) {
    // The answer to another request sent earlier, kept for its receive.
    if (const auto awaited = awaited_.find(replyId);
        awaited != awaited_.end() && !awaited->second) {
      awaited->second = envelope(object, std::move(line));
    }
    return std::nullopt;
  }
  return envelope(object, std::move(line));
}

Result<std::string> Connection::envelope(simdjson::ondemand::object& object, std::string&& line) {
  bool ok = false;
  if (!object.find_field_unordered(fields::ok).get_bool().get(ok) && ok) return std::move(line);
  std::string_view error;
  if (!object.find_field_unordered(fields::error).get_string().get(error)) {
    return Error{std::string(error)};
  }
  return Error{"simdesk refused the request"};
}

Result<std::string> Connection::awaitReply(std::int64_t id) {
  const Clock::time_point deadline = Clock::now() + options_.replyTimeout;
  while (true) {
    while (std::optional<std::string> line = incoming_.takeLine()) {
      if (auto answer = answerTo(id, std::move(*line))) return std::move(*answer);
    }
    pollfd waiting{socket_.get(), POLLIN, 0};
    const int ready = ::poll(&waiting, 1, millisecondsUntil(deadline));
    if (ready < 0 && errno == EINTR) continue;
    if (ready <= 0) {
      // A late reply must not be taken for the answer to a later request.
      disconnect();
      return Error{"simdesk did not answer in time"};
    }
    if (!readAvailable()) {
      // Whatever came before the close may still hold the answer.
      while (std::optional<std::string> line = incoming_.takeLine()) {
        if (auto answer = answerTo(id, std::move(*line))) {
          disconnect();
          return std::move(*answer);
        }
      }
      disconnect();
      return Error{"simdesk closed the connection"};
    }
  }
}

void Connection::disconnect() {
  // Requests sent over this connection will not be answered any more.
  for (auto& [id, answer] : awaited_) {
    if (!answer) answer = Result<std::string>(Error{"simdesk closed the connection"});
  }
  socket_.reset();
  incoming_.clear();
  subscriptionsSent_ = false;
}

int Connection::listen(std::string_view event, Listener listener) {
  const MutexLock lock(mutex_);
  const int listenerId = nextListenerId_++;
  listeners_.emplace(listenerId, std::make_pair(std::string(event), std::move(listener)));
  subscriptionsSent_ = false;
  return listenerId;
}

void Connection::unlisten(int listenerId) {
  const MutexLock lock(mutex_);
  listeners_.erase(listenerId);
}

bool Connection::hasPendingEvents() const {
  const MutexLock lock(mutex_);
  return !pushed_.empty() || incoming_.hasLine();
}

void Connection::dispatchEvents() {
  std::vector<nlohmann::json> events;
  {
    const MutexLock lock(mutex_);
    if (socket_.valid()) {
      const bool open = readAvailable();
      while (std::optional<std::string> line = incoming_.takeLine()) {
        keepPushed(nlohmann::json::parse(*line, nullptr, false));
      }
      if (!open) disconnect();
    }
    events.assign(std::make_move_iterator(pushed_.begin()), std::make_move_iterator(pushed_.end()));
    pushed_.clear();
  }
  for (const nlohmann::json& event : events) {
    const std::string name = event.value(fields::event, std::string());
    std::vector<int> ids;
    {
      const MutexLock lock(mutex_);
      for (const auto& [listenerId, entry] : listeners_) {
        if (entry.first == name) ids.push_back(listenerId);
      }
    }
    for (const int listenerId : ids) {
      // Looked up again for every call: a listener may unregister another one.
      Listener listener;
      {
        const MutexLock lock(mutex_);
        const auto found = listeners_.find(listenerId);
        if (found == listeners_.end()) continue;
        listener = found->second.second;
      }
      listener(event);
    }
  }
}

}  // namespace deskplay::simdesk::protocol
