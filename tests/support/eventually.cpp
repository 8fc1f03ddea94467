#include "support/eventually.hpp"

#include <thread>

namespace deskplay::testing {

namespace {

constexpr std::chrono::milliseconds kCheckInterval{5};

}  // namespace

bool eventually(const std::function<bool()>& condition, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (std::chrono::steady_clock::now() < deadline) {
    if (condition()) return true;
    std::this_thread::sleep_for(kCheckInterval);
  }
  return condition();
}

}  // namespace deskplay::testing
