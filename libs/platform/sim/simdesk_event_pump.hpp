#pragma once

#include <QSocketNotifier>
#include <QTimer>
#include <cstdint>
#include <memory>

#include "sim/simdesk/protocol/connection.hpp"

namespace deskplay::platform {

// Delivers what simdesk pushes (display-option changes among them) from the Qt event loop of
// the thread that makes the pump, as soon as it arrives: the adapters' listeners run without
// waiting for the program's next call into simdesk. It follows the connection across
// reconnections, and also hands over events that arrived during a request. Its own state is
// that thread's alone; what it shares with threads that make requests meanwhile is the
// connection, whose state is GUARDED_BY the connection's mutex.
class SimdeskEventPump final {
 public:
  // How often the pump looks for a new connection and for events set aside by requests.
  static constexpr int kRecheckMilliseconds = 100;

  explicit SimdeskEventPump(simdesk::protocol::Connection& connection);
  SimdeskEventPump(const SimdeskEventPump&) = delete;
  SimdeskEventPump& operator=(const SimdeskEventPump&) = delete;
  ~SimdeskEventPump();

 private:
  void dispatch();
  // Watches the connection's current socket, if any.
  void follow();

  simdesk::protocol::Connection& connection_;
  std::unique_ptr<QSocketNotifier> notifier_;
  std::uint64_t followedGeneration_ = 0;
  bool dispatchQueued_ = false;
  QTimer recheck_;
};

}  // namespace deskplay::platform
