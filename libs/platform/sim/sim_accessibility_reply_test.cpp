#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <functional>
#include <mutex>
#include <thread>

#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "platform/sim/sim_accessibility.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::platform {
namespace {

using nlohmann::json;
namespace requests = simdesk::protocol::requests;

// A stand-in simdesk for one connection: each request line gets the reply `answer` gives,
// with the request's id and "ok" added.
class ScriptedSimdesk {
 public:
  using Answer = std::function<json(const json& request)>;

  ScriptedSimdesk(const std::filesystem::path& path, Answer answer) : answer_(std::move(answer)) {
    listener_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(::listen(listener_.get(), 1), 0);
    thread_ = std::thread([this] { serve(); });
  }
  ScriptedSimdesk(const ScriptedSimdesk&) = delete;
  ScriptedSimdesk& operator=(const ScriptedSimdesk&) = delete;
  ~ScriptedSimdesk() {
    // Wakes the thread whether it waits for a client or for its next line.
    ::shutdown(listener_.get(), SHUT_RDWR);
    {
      std::lock_guard lock(mutex_);
      if (client_ >= 0) ::shutdown(client_, SHUT_RDWR);
    }
    thread_.join();
  }

 private:
  void serve() {
    UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!client.valid()) return;
    {
      std::lock_guard lock(mutex_);
      client_ = client.get();
    }
    simdesk::protocol::LineBuffer lines;
    char chunk[4096];
    ssize_t got = 0;
    while ((got = ::read(client.get(), chunk, sizeof(chunk))) > 0) {
      lines.append(std::string_view(chunk, static_cast<std::size_t>(got)));
      while (auto line = lines.takeLine()) {
        const json request = json::parse(*line);
        json reply = request["type"] == requests::hello ? json::object() : answer_(request);
        reply["id"] = request["id"];
        reply["ok"] = true;
        (void)writeAll(client.get(), reply.dump() + "\n");
      }
    }
    std::lock_guard lock(mutex_);
    client_ = -1;
  }

  Answer answer_;
  UniqueFd listener_;
  std::mutex mutex_;
  int client_ = -1;
  std::thread thread_;
};

TEST(SimAccessibilityReplyTest, AnAnswerAboutAnotherElementReadsAsMissing) {
  testing::TempDir dir;
  ScriptedSimdesk simdesk(dir / "s.sock", [](const json& request) -> json {
    if (request["type"] != requests::axElement) return json::object();
    const std::uint64_t other = request["element"].get<std::uint64_t>() + 1;
    return {
        {"element", {{"element", other}, {"pid", 77}, {"attributes", {{"AXRole", "AXImage"}}}}}};
  });
  simdesk::protocol::Connection connection({dir / "s.sock", "Glyphon", 4321});
  SimAccessibility accessibility(connection);

  EXPECT_TRUE(std::holds_alternative<std::monostate>(accessibility.attribute({5}, kAXRole)));
  EXPECT_EQ(accessibility.processOf({5}), std::nullopt);
}

}  // namespace
}  // namespace deskplay::platform
