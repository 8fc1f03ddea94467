#include "platform/sim/simdesk_event_pump.hpp"

namespace deskplay::platform {

SimdeskEventPump::SimdeskEventPump(simdesk::protocol::Connection& connection)
    : connection_(connection) {
  QObject::connect(&recheck_, &QTimer::timeout, [this] { dispatch(); });
  recheck_.start(kRecheckMilliseconds);
  follow();
}

SimdeskEventPump::~SimdeskEventPump() = default;

void SimdeskEventPump::dispatch() {
  connection_.dispatchEvents();
  follow();
  // A listener's own request may have read further pushes off the socket, which then has
  // nothing to signal: take them on the next turn of the loop instead of at the recheck.
  if (connection_.hasPendingEvents() && !dispatchQueued_) {
    dispatchQueued_ = true;
    QTimer::singleShot(0, &recheck_, [this] {
      dispatchQueued_ = false;
      dispatch();
    });
  }
}

void SimdeskEventPump::follow() {
  const int descriptor = connection_.eventDescriptor();
  const std::uint64_t generation = connection_.generation();
  if (notifier_ && descriptor >= 0 && generation == followedGeneration_) return;
  notifier_.reset();
  followedGeneration_ = generation;
  if (descriptor < 0) return;
  notifier_ = std::make_unique<QSocketNotifier>(descriptor, QSocketNotifier::Read);
  QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { dispatch(); });
}

}  // namespace deskplay::platform
