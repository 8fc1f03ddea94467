#include "sim/simdesk/protocol/testing/stand_in_simdesk.hpp"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <string_view>

#include "common/fd_io.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"
#include "sim/simdesk/protocol/messages.hpp"

namespace deskplay::simdesk::testing {

using nlohmann::json;

StandInSimdesk::StandInSimdesk(const std::filesystem::path& socket, Answer answer)
    : answer_(std::move(answer)) {
  listener_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strncpy(address.sun_path, socket.c_str(), sizeof(address.sun_path) - 1);
  listening_ =
      listener_.valid() &&
      ::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0 &&
      ::listen(listener_.get(), 1) == 0;
  thread_ = std::thread([this] { serve(); });
}

StandInSimdesk::~StandInSimdesk() {
  // Wakes the thread whether it waits for a client or for its next line.
  ::shutdown(listener_.get(), SHUT_RDWR);
  {
    const std::lock_guard lock(mutex_);
    if (client_ >= 0) ::shutdown(client_, SHUT_RDWR);
  }
  thread_.join();
}

bool StandInSimdesk::push(const json& event) {
  const std::lock_guard lock(mutex_);
  return client_ >= 0 && writeAll(client_, event.dump() + "\n") == 0;
}

void StandInSimdesk::serve() {
  UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
  if (!client.valid()) return;
  {
    const std::lock_guard lock(mutex_);
    client_ = client.get();
  }
  protocol::LineBuffer lines;
  char chunk[4096];
  ssize_t got = 0;
  while ((got = ::read(client.get(), chunk, sizeof(chunk))) > 0) {
    lines.append(std::string_view(chunk, static_cast<std::size_t>(got)));
    while (auto line = lines.takeLine()) {
      const json request = json::parse(*line, nullptr, false);
      if (!request.is_object()) continue;
      const bool hello = request.value("type", "") == protocol::requests::hello;
      json reply = hello || !answer_ ? json::object() : answer_(request);
      reply["id"] = request["id"];
      reply["ok"] = true;
      const std::lock_guard lock(mutex_);
      (void)writeAll(client.get(), reply.dump() + "\n");
    }
  }
  const std::lock_guard lock(mutex_);
  client_ = -1;
}

}  // namespace deskplay::simdesk::testing
