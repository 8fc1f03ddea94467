#pragma once

#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "platform/accessibility.hpp"

namespace deskplay::simdesk {

struct PostedNotification {
  std::string name;
  platform::ProcessId sender = 0;
  std::string application;
};

// The distributed notification centre: notifications posted by name, which reach every
// observer of that name, and a log of the latest ones. Main thread only.
class NotificationCenter {
 public:
  static constexpr std::size_t kLogCapacity = 1000;

  void post(PostedNotification notification);
  const std::deque<PostedNotification>& log() const { return log_; }
  void addListener(std::function<void(const PostedNotification&)> listener);

 private:
  std::deque<PostedNotification> log_;
  std::vector<std::function<void(const PostedNotification&)>> listeners_;
};

}  // namespace deskplay::simdesk
