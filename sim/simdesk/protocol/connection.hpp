#pragma once

#include <simdjson.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>

#include "common/mutex.hpp"
#include "common/result.hpp"
#include "common/unique_fd.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"

namespace deskplay::simdesk::protocol {

struct ConnectionOptions {
  std::filesystem::path socketPath;
  // Keys privacy permissions and owns the windows made through this connection.
  std::string applicationName;
  std::int32_t processId = 0;
  // How long a request waits for its reply before the connection is given up.
  std::chrono::milliseconds replyTimeout = std::chrono::seconds(5);
};

// Whether a request can change what simdesk shows; cached reads of this process are dropped
// after every request that can.
enum class Effect { readsOnly, mayChange };

// One client connection to simdesk, opened on the first request and opened again on the
// request after simdesk went away (a restart), each time saying hello first. A request waits
// for its reply, matched by id; lines pushed meanwhile are set aside for `dispatchEvents`.
// When simdesk is not there, requests fail at once; when it does not answer within the reply
// timeout, the request fails and the connection is closed.
// Requests may come from any thread, one at a time; listeners run on the thread that calls
// `dispatchEvents`.
class Connection {
 public:
  using Listener = std::function<void(const nlohmann::json& event)>;

  explicit Connection(ConnectionOptions options);
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  ~Connection();

  // The reply's object when it says ok; otherwise an error with simdesk's text, or saying
  // why no reply came.
  Result<nlohmann::json> request(std::string_view type, nlohmann::json body, Effect effect)
      EXCLUDES(mutex_);
  // The same with a descriptor passed along the request's line (SCM_RIGHTS), for simdesk
  // to keep (a window's shared pixels). The caller keeps its own descriptor.
  Result<nlohmann::json> requestWithDescriptor(std::string_view type, nlohmann::json body,
                                               int descriptor, Effect effect) EXCLUDES(mutex_);
  // The same, giving the reply line as it came, for callers that decode large replies
  // themselves.
  Result<std::string> requestLine(std::string_view type, nlohmann::json body, Effect effect)
      EXCLUDES(mutex_);
  // A request in two halves, so that the caller can work while simdesk does: `send` gives
  // the request's id, `receive` the reply line for it. Other requests may come between; a
  // sent request's reply is kept until it is received.
  Result<std::int64_t> send(std::string_view type, nlohmann::json body, Effect effect)
      EXCLUDES(mutex_);
  Result<std::string> receive(std::int64_t id) EXCLUDES(mutex_);
  // A request whose reply nobody waits for (a tap's verdict, which must not hold up the
  // caller), over the connection that is open now: the reply is dropped when it comes. Fails
  // when there is no open connection or the request cannot be sent.
  Status notify(std::string_view type, nlohmann::json body, Effect effect) EXCLUDES(mutex_);

  // Counts the connections opened so far: things simdesk keeps per connection (windows) are
  // gone when this changed.
  std::uint64_t generation() const EXCLUDES(mutex_);
  // Counts the requests that could change simdesk's state, sent or attempted.
  std::uint64_t changeCount() const EXCLUDES(mutex_);

  // Registers a listener for a pushed event; simdesk is asked to push it from the next
  // request on (and again after every reconnection). The id unregisters it.
  int listen(std::string_view event, Listener listener) EXCLUDES(mutex_);
  void unlisten(int listenerId) EXCLUDES(mutex_);
  // Reads what simdesk pushed without waiting, then calls the listeners of every event set
  // aside so far. Call it where a callback may run (for example when `eventDescriptor` turns
  // readable in the caller's event loop).
  void dispatchEvents() EXCLUDES(mutex_);
  // Whether pushed events are set aside for the next `dispatchEvents`: lines that arrived
  // while a request waited for its reply leave nothing for the socket to signal.
  bool hasPendingEvents() const EXCLUDES(mutex_);
  // The socket while connected, for watching it in an event loop; -1 otherwise.
  int eventDescriptor() const EXCLUDES(mutex_);

  const ConnectionOptions& options() const { return options_; }

 private:
  Result<std::int64_t> sendLocked(std::string_view type, nlohmann::json body, Effect effect)
      REQUIRES(mutex_);
  Result<std::string> receiveLocked(std::int64_t id) REQUIRES(mutex_);
  Status ensureConnected() REQUIRES(mutex_);
  Status sendRequest(std::int64_t id, std::string_view type, nlohmann::json body,
                     int descriptor = -1) REQUIRES(mutex_);
  // Sends one line; a descriptor (when not -1) goes with its first byte.
  Status sendLine(const nlohmann::json& message, int descriptor = -1) REQUIRES(mutex_);
  Result<std::string> awaitReply(std::int64_t id) REQUIRES(mutex_);
  // The reply line when `line` answers request `id`; an error when it refuses it; nothing
  // when it is no reply to it (then it is kept when it is a pushed event).
  std::optional<Result<std::string>> answerTo(std::int64_t id, std::string&& line) REQUIRES(mutex_);
  // A reply's outcome: the line when it says ok, else its error.
  static Result<std::string> envelope(simdjson::ondemand::object& object, std::string&& line);
  // Reads what is there without waiting; false when simdesk closed the connection.
  bool readAvailable() REQUIRES(mutex_);
  void keepPushed(nlohmann::json message) REQUIRES(mutex_);
  Status sendSubscriptions() REQUIRES(mutex_);
  void disconnect() REQUIRES(mutex_);

  const ConnectionOptions options_;
  // Requests come from any thread and events are dispatched on another: everything below is
  // touched only with this held, and listeners run without it.
  mutable Mutex mutex_;
  UniqueFd socket_ GUARDED_BY(mutex_);
  LineBuffer incoming_ GUARDED_BY(mutex_);
  std::int64_t nextId_ GUARDED_BY(mutex_) = 1;
  std::uint64_t generation_ GUARDED_BY(mutex_) = 0;
  std::uint64_t changes_ GUARDED_BY(mutex_) = 0;
  std::deque<nlohmann::json> pushed_ GUARDED_BY(mutex_);
  // Replies to requests sent and not yet received, and what arrived for them meanwhile.
  std::map<std::int64_t, std::optional<Result<std::string>>> awaited_ GUARDED_BY(mutex_);
  std::map<int, std::pair<std::string, Listener>> listeners_ GUARDED_BY(mutex_);
  int nextListenerId_ GUARDED_BY(mutex_) = 1;
  bool subscriptionsSent_ GUARDED_BY(mutex_) = false;
  simdjson::ondemand::parser envelopeParser_ GUARDED_BY(mutex_);
};

}  // namespace deskplay::simdesk::protocol
