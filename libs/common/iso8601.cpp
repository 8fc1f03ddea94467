#include "common/iso8601.hpp"

#include <time.h>

#include <cmath>
#include <cstdio>

namespace deskplay {

std::string iso8601Utc(std::chrono::duration<double> sinceEpoch) {
  // Floor, not truncation: a moment just before the epoch still belongs to 1969.
  const auto seconds = static_cast<time_t>(std::floor(sinceEpoch.count()));
  struct tm parts {};
  if (::gmtime_r(&seconds, &parts) == nullptr) return "1970-01-01T00:00:00Z";
  char text[32];
  const size_t length = ::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return std::string(text, length);
}

}  // namespace deskplay
