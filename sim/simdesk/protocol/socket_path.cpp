#include "sim/simdesk/protocol/socket_path.hpp"

#include <unistd.h>

#include <cstdlib>

namespace deskplay::simdesk::protocol {

std::filesystem::path socketPath(const EnvironmentLookup& environment, uid_t user) {
  const auto given = [&](const char* name) -> std::optional<std::string> {
    auto value = environment(name);
    if (value && value->empty()) return std::nullopt;
    return value;
  };
  if (auto explicitPath = given("SIMDESK_SOCKET")) return *explicitPath;
  if (auto runtime = given("XDG_RUNTIME_DIR")) {
    return std::filesystem::path(*runtime) / "simdesk.sock";
  }
  return "/tmp/simdesk-" + std::to_string(user) + ".sock";
}

std::filesystem::path socketPath() {
  return socketPath(
      [](const char* name) -> std::optional<std::string> {
        const char* value = std::getenv(name);
        if (value == nullptr) return std::nullopt;
        return std::string(value);
      },
      ::getuid());
}

}  // namespace deskplay::simdesk::protocol
