#include "platform/testing/fake_distributed_notifications.hpp"

#include <algorithm>

namespace deskplay::platform::testing {

struct FakeNotificationCenter {
  struct Observer {
    std::string name;
    std::function<void()> posted;
  };
  std::vector<Observer*> observers;
  std::vector<std::string> posted;
};

namespace {

class FakeObservation final : public Observation {
 public:
  FakeObservation(std::shared_ptr<FakeNotificationCenter> center, std::string name,
                  std::function<void()> posted)
      : center_(std::move(center)), observer_{std::move(name), std::move(posted)} {
    center_->observers.push_back(&observer_);
  }
  ~FakeObservation() override { std::erase(center_->observers, &observer_); }

 private:
  std::shared_ptr<FakeNotificationCenter> center_;
  FakeNotificationCenter::Observer observer_;
};

}  // namespace

FakeDistributedNotifications::FakeDistributedNotifications()
    : center_(std::make_shared<FakeNotificationCenter>()) {}

FakeDistributedNotifications::~FakeDistributedNotifications() = default;

void FakeDistributedNotifications::post(const std::string& name) {
  center_->posted.push_back(name);
  deliver(name);
}

void FakeDistributedNotifications::deliver(const std::string& name) {
  // An observer may go while another runs.
  const auto observers = center_->observers;
  for (auto* observer : observers) {
    if (std::find(center_->observers.begin(), center_->observers.end(), observer) ==
        center_->observers.end()) {
      continue;
    }
    if (observer->name == name) observer->posted();
  }
}

std::unique_ptr<Observation> FakeDistributedNotifications::observe(const std::string& name,
                                                                   std::function<void()> posted) {
  return std::make_unique<FakeObservation>(center_, name, std::move(posted));
}

const std::vector<std::string>& FakeDistributedNotifications::posted() const {
  return center_->posted;
}

}  // namespace deskplay::platform::testing
