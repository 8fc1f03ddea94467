#include "app/keyhark_services.hpp"

#include <unistd.h>

#include "platform/sim/simdesk_link.hpp"

namespace deskplay::keyhark {

KeyharkServices::KeyharkServices()
    : events_(STDOUT_FILENO),
      status_(STDERR_FILENO),
      simdesk_(platform::connectToSimdesk(kApplicationName)),
      taps_(*simdesk_),
      accessibility_(*simdesk_),
      privacy_(*simdesk_),
      workspace_(*simdesk_),
      windows_(*simdesk_) {}

KeyharkServices::~KeyharkServices() = default;

ListenerServices KeyharkServices::listenerServices() {
  return ListenerServices{taps_,    accessibility_, privacy_, workspace_,
                          windows_, clock_,         events_,  status_};
}

}  // namespace deskplay::keyhark
