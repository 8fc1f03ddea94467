#pragma once

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/result.hpp"
#include "platform/geometry.hpp"

namespace deskplay::simdesk::server {

struct ServerOptions {
  enum class Action { serve, help };
  Action action = Action::serve;
  std::optional<std::filesystem::path> socket;           // else the usual place
  std::optional<std::vector<platform::Size>> screens;    // else one 1440 × 900 screen
  std::optional<std::chrono::milliseconds> tapTimeout;   // else about a second, as macOS
  enum class Display { headless, window };
  Display display = Display::headless;                  // --view: the live window
};

// The command line without the program name. Errors are one line, for stderr.
Result<ServerOptions> parseServerOptions(const std::vector<std::string>& arguments);

std::string serverUsage();

}  // namespace deskplay::simdesk::server
