#pragma once

#include <chrono>
#include <functional>

namespace deskplay::testing {

// Checks `condition` every few milliseconds until it holds or `timeout` has passed, and says
// whether it held; it is checked once more at the end, so a slow machine only costs time.
// Tests that need their Qt event loop to run meanwhile use QTest::qWaitFor instead.
bool eventually(const std::function<bool()>& condition,
                std::chrono::milliseconds timeout = std::chrono::seconds(20));

}  // namespace deskplay::testing
