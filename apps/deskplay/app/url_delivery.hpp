#pragma once

#include <QJsonObject>
#include <filesystem>
#include <functional>

#include "common/result.hpp"
#include "platform/clock.hpp"

namespace deskplay::app {

// How long a link waits for an instance it started to take commands: start-up restores the
// desktop and loads the catalog first.
inline constexpr platform::Clock::Seconds kInstanceStartWait{30.0};
inline constexpr platform::Clock::Seconds kInstanceStartPoll{0.1};

// Delivers a request with `send`. When no instance answers (an error of kind unavailable),
// calls `startInstance` once and tries again every kInstanceStartPoll until one answers or
// `timeout` has passed; any other error, or an instance that cannot be started, ends the
// attempts at once.
Result<QJsonObject> sendStartingInstance(const std::function<Result<QJsonObject>()>& send,
                                         const std::function<Status()>& startInstance,
                                         platform::Clock::Seconds timeout, platform::Clock& clock);

// Starts `executable` without arguments as a new instance, detached from this process and
// with its standard channels on /dev/null, as the desktop starts an application.
// The error names the executable when it cannot be started.
Status startDetachedInstance(const std::filesystem::path& executable);

}  // namespace deskplay::app
