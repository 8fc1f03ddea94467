#pragma once

#include <ostream>
#include <string>

namespace deskplay::simdesk::ctl {

// simdeskctl's exit statuses.
inline constexpr int kDone = 0;
inline constexpr int kFailed = 1;
inline constexpr int kUsage = 2;

// Reports bad use of a command on `err`; the status to exit with.
inline int usage(std::ostream& err, const std::string& message) {
  err << "simdeskctl: " << message << " (see --help)\n";
  return kUsage;
}

// Reports a command that could not be done on `err`; the status to exit with.
inline int failed(std::ostream& err, const std::string& message) {
  err << "simdeskctl: " << message << "\n";
  return kFailed;
}

}  // namespace deskplay::simdesk::ctl
