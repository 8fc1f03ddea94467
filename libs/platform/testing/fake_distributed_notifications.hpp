#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/distributed_notifications.hpp"

namespace deskplay::platform::testing {

struct FakeNotificationCenter;

// Records what was posted and calls the observers of that name at once, as another
// application's post would (`deliver`).
class FakeDistributedNotifications final : public DistributedNotifications {
 public:
  FakeDistributedNotifications();
  ~FakeDistributedNotifications() override;

  void post(const std::string& name) override;
  std::unique_ptr<Observation> observe(const std::string& name,
                                       std::function<void()> posted) override;

  // Another application posts `name`.
  void deliver(const std::string& name);
  // Names posted through this fake, oldest first.
  const std::vector<std::string>& posted() const;

 private:
  std::shared_ptr<FakeNotificationCenter> center_;
};

}  // namespace deskplay::platform::testing
