#include "sim/simdesk/model/notification_center.hpp"

namespace deskplay::simdesk {

void NotificationCenter::post(PostedNotification notification) {
  if (log_.size() >= kLogCapacity) log_.pop_front();
  log_.push_back(notification);
  for (const auto& listener : listeners_) listener(notification);
}

void NotificationCenter::addListener(std::function<void(const PostedNotification&)> listener) {
  listeners_.push_back(std::move(listener));
}

}  // namespace deskplay::simdesk
