#pragma once

#include <filesystem>
#include <string_view>
#include <utility>

#include "platform/clock.hpp"

namespace deskplay::core {

// Appends "[<UTC time, ISO 8601>] <message>\n" to `logFile`, creating it when missing. The
// file is opened and closed for each line; every error is swallowed, since logging must never
// fail its caller.
void arcadeLog(const std::filesystem::path& logFile, const platform::Clock& clock,
               std::string_view message);

// The application log bound to its file and clock, for objects that log as they go. The clock
// must outlive it.
class ArcadeLog {
 public:
  ArcadeLog(std::filesystem::path logFile, const platform::Clock& clock)
      : logFile_(std::move(logFile)), clock_(&clock) {}

  void write(std::string_view message) const { arcadeLog(logFile_, *clock_, message); }
  const std::filesystem::path& file() const { return logFile_; }

 private:
  std::filesystem::path logFile_;
  const platform::Clock* clock_;
};

}  // namespace deskplay::core
