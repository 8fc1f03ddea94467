#pragma once

namespace deskplay::platform {

// A registered callback (a monitor, a notification observer). Destroying it unregisters the
// callback; no call starts after the destructor has returned.
class Observation {
 public:
  virtual ~Observation() = default;
};

}  // namespace deskplay::platform
