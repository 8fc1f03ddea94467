#pragma once

#include <functional>
#include <memory>
#include <string>

#include "platform/observation.hpp"

namespace deskplay::platform {

// Notifications posted by name to every application of the session (the distributed
// notification centre).
// Main thread only; observers are called on the main thread.
class DistributedNotifications {
 public:
  virtual ~DistributedNotifications() = default;

  virtual void post(const std::string& name) = 0;
  // Calls `posted` for every notification of that name that any application posts.
  virtual std::unique_ptr<Observation> observe(const std::string& name,
                                               std::function<void()> posted) = 0;
};

}  // namespace deskplay::platform
