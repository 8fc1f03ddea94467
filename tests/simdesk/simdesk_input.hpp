#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/event_taps.hpp"
#include "simdesk_session.hpp"

namespace deskplay::testing {

// The person at a session's keyboard and mouse: injects hardware events through a connection
// of its own (as simdeskctl does) and waits until simdesk has taken them all the way through
// the taps to their targets. While it waits it keeps calling `pump`, the test's own event
// loop (for example `[&] { connection->dispatchEvents(); }` or
// `[] { QCoreApplication::processEvents(); }`), so that taps in the test's process can answer.
class SimdeskInput {
 public:
  using Pump = std::function<void()>;

  explicit SimdeskInput(const SimdeskSession& session);
  ~SimdeskInput();

  // One event; false when simdesk refused it or is not there.
  bool inject(const platform::Event& event);
  // Key down and up with the characters given (for both character fields).
  bool key(std::int64_t keyCode, const std::string& characters = {}, std::uint64_t flags = 0);
  // Left (or right) button down and up at a point.
  bool click(platform::Point at,
             platform::EventTaps::MouseButton button = platform::EventTaps::MouseButton::left);

  // True once every event injected so far has been delivered (or swallowed).
  bool waitUntilDelivered(
      const Pump& pump = [] {}, std::chrono::milliseconds timeout = std::chrono::seconds(20));

  simdesk::protocol::Connection& connection() { return *connection_; }

 private:
  std::unique_ptr<simdesk::protocol::Connection> connection_;
  int listener_ = 0;
  std::uint64_t injected_ = 0;
  std::uint64_t delivered_ = 0;
  std::uint64_t generation_ = 0;
};

}  // namespace deskplay::testing
