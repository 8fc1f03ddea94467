#include "engine_client.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>

namespace deskplay::testing {

EngineClient::EngineClient(int port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<std::uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  connected_ = ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

std::optional<nlohmann::json> EngineClient::readLine(std::chrono::milliseconds timeout) {
  using std::chrono::steady_clock;
  const auto deadline = steady_clock::now() + timeout;
  while (true) {
    if (const auto end = pending_.find('\n'); end != std::string::npos) {
      const std::string line = pending_.substr(0, end);
      pending_.erase(0, end + 1);
      return nlohmann::json::parse(line, nullptr, false);
    }
    // Even with no time left, what has already arrived is read.
    const auto left = std::max(
        std::chrono::milliseconds(0),
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - steady_clock::now()));
    pollfd poll{fd_.get(), POLLIN, 0};
    if (::poll(&poll, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
    char buffer[4096];
    const ssize_t got = ::recv(fd_.get(), buffer, sizeof buffer, 0);
    if (got <= 0) return std::nullopt;
    pending_.append(buffer, static_cast<std::size_t>(got));
  }
}

nlohmann::json keyLine(std::int64_t keyCode, const std::string& characters) {
  return {{"type", "keydown"}, {"keyCode", keyCode}, {"char", characters}};
}

}  // namespace deskplay::testing
