#pragma once

#include <chrono>
#include <string>

namespace deskplay {

// An internet date-time in UTC with whole seconds, such as "2026-03-01T09:30:00Z".
std::string iso8601Utc(std::chrono::duration<double> sinceEpoch);

}  // namespace deskplay
