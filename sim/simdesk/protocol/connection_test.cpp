#include "sim/simdesk/protocol/connection.hpp"

#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <thread>
#include <vector>

#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "support/temp_dir.hpp"

namespace deskplay::simdesk::protocol {
namespace {

using nlohmann::json;

// A stand-in simdesk: accepts connections one after another and answers each request line
// with whatever lines `answer` gives. Records every request it saw.
class ScriptedServer {
 public:
  using Answer = std::function<std::vector<std::string>(const json& request)>;

  ScriptedServer(const std::filesystem::path& path, Answer answer)
      : path_(path), answer_(std::move(answer)) {
    listener_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, path.c_str());
    ::unlink(path.c_str());
    EXPECT_EQ(::bind(listener_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(::listen(listener_.get(), 4), 0);
    thread_ = std::thread([this] { serve(); });
  }
  ~ScriptedServer() {
    stopping_ = true;
    thread_.join();
    ::unlink(path_.c_str());
  }

  std::vector<json> requests() {
    std::lock_guard lock(mutex_);
    return requests_;
  }

 private:
  void serve() {
    while (!stopping_) {
      pollfd waiting{listener_.get(), POLLIN, 0};
      if (::poll(&waiting, 1, 20) <= 0) continue;
      UniqueFd client(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
      LineBuffer lines;
      while (!stopping_) {
        pollfd readable{client.get(), POLLIN, 0};
        if (::poll(&readable, 1, 20) <= 0) continue;
        char chunk[4096];
        const ssize_t got = ::read(client.get(), chunk, sizeof(chunk));
        if (got <= 0) break;
        lines.append(std::string_view(chunk, static_cast<std::size_t>(got)));
        while (auto line = lines.takeLine()) {
          const json request = json::parse(*line);
          {
            std::lock_guard lock(mutex_);
            requests_.push_back(request);
          }
          for (const std::string& reply : answer_(request)) {
            (void)writeAll(client.get(), reply + "\n");
          }
        }
      }
    }
  }

  std::filesystem::path path_;
  Answer answer_;
  UniqueFd listener_;
  std::atomic<bool> stopping_{false};
  std::mutex mutex_;
  std::vector<json> requests_;
  std::thread thread_;
};

std::string okReply(const json& request, json fields = json::object()) {
  fields["id"] = request["id"];
  fields["ok"] = true;
  return fields.dump();
}

class ConnectionTest : public ::testing::Test {
 protected:
  ConnectionOptions options(std::chrono::milliseconds timeout = std::chrono::seconds(5)) {
    return {dir_ / "s.sock", "Glyphon", 4321, timeout};
  }
  testing::TempDir dir_;
};

TEST_F(ConnectionTest, WithoutSimdeskEveryRequestFailsAtOnce) {
  Connection connection(options());
  for (int attempt = 0; attempt < 2; ++attempt) {
    const auto reply = connection.request(requests::state, json::object(), Effect::readsOnly);
    ASSERT_FALSE(reply.ok());
    EXPECT_EQ(reply.error().kind, ErrorKind::unavailable);
    EXPECT_EQ(reply.message(), "simdesk is not running");
  }
  const Status notified =
      connection.notify(requests::eventTapVerdict, json::object(), Effect::readsOnly);
  ASSERT_FALSE(notified.ok());
  EXPECT_EQ(notified.error().kind, ErrorKind::unavailable);
  EXPECT_EQ(connection.eventDescriptor(), -1);
  EXPECT_EQ(connection.generation(), 0u);
}

TEST_F(ConnectionTest, SaysHelloThenMatchesRepliesByIdAndSetsPushedLinesAside) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    if (request["type"] == requests::hello) return {okReply(request)};
    // An unrelated reply and a pushed event arrive before the answer.
    return {R"({"id":999,"ok":true,"stale":true})", R"({"event":"displayOptions.changed"})",
            "not json", okReply(request, {{"echo", request["type"]}})};
  });
  Connection connection(options());
  int notices = 0;
  connection.listen(events::displayOptionsChanged, [&](const json&) { ++notices; });

  const auto reply = connection.request(requests::state, json::object(), Effect::readsOnly);
  ASSERT_TRUE(reply.ok()) << reply.message();
  EXPECT_EQ(reply.value()["echo"], "state");
  EXPECT_FALSE(reply.value().contains("stale"));
  EXPECT_EQ(notices, 0) << "listeners run only from dispatchEvents";
  connection.dispatchEvents();
  EXPECT_GE(notices, 1);

  const auto seen = server.requests();
  ASSERT_GE(seen.size(), 3u);
  EXPECT_EQ(seen[0]["type"], "hello");
  EXPECT_EQ(seen[0]["app"], "Glyphon");
  EXPECT_EQ(seen[0]["pid"], 4321);
  EXPECT_EQ(seen[1]["type"], requests::subscribe);
  EXPECT_EQ(seen[1]["events"], json::array({events::displayOptionsChanged}));
  EXPECT_EQ(seen[2]["type"], "state");
  EXPECT_NE(seen[2]["id"], seen[0]["id"]);
}

TEST_F(ConnectionTest, PushedLinesWhoseEventIsNoNameAreDropped) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    if (request["type"] != requests::state) return {okReply(request)};
    return {R"({"event":5})",
            R"({"event":null})",
            R"({"event":["displayOptions.changed"]})",
            R"({"event":{}})",
            R"({"event":"displayOptions.changed"})",
            okReply(request)};
  });
  Connection connection(options());
  int notices = 0;
  connection.listen(events::displayOptionsChanged, [&](const json&) { ++notices; });
  ASSERT_TRUE(connection.request(requests::state, json::object(), Effect::readsOnly).ok());

  connection.dispatchEvents();

  EXPECT_EQ(notices, 1);
  EXPECT_FALSE(connection.hasPendingEvents());
}

TEST_F(ConnectionTest, RepliesToSentRequestsAreKeptForTheirReceiveWhileOthersComeBetween) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    return {okReply(request, {{"echo", request["type"]}})};
  });
  Connection connection(options());
  const auto first = connection.send(requests::scriptRun, json::object(), Effect::mayChange);
  ASSERT_TRUE(first.ok()) << first.message();
  const auto between = connection.request(requests::state, json::object(), Effect::readsOnly);
  ASSERT_TRUE(between.ok());
  EXPECT_EQ(between.value()["echo"], "state");
  const auto kept = connection.receive(first.value());
  ASSERT_TRUE(kept.ok()) << kept.message();
  EXPECT_EQ(json::parse(kept.value())["echo"], "script.run");
  EXPECT_FALSE(connection.receive(first.value()).ok()) << "received once";
}

TEST_F(ConnectionTest, ANotifiedRequestsReplyIsDroppedAndNotTakenForALaterOnes) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    return {okReply(request, {{"echo", request["type"]}})};
  });
  Connection connection(options());
  EXPECT_FALSE(connection.notify(requests::eventTapVerdict, {{"tap", 1}}, Effect::mayChange).ok())
      << "a notice never opens a connection";
  ASSERT_TRUE(connection.request(requests::state, json::object(), Effect::readsOnly).ok());
  const Status notified = connection.notify(requests::eventTapVerdict, {{"tap", 1}}, Effect::mayChange);
  ASSERT_TRUE(notified.ok()) << notified.message();
  const auto reply = connection.request(requests::prompts, json::object(), Effect::readsOnly);
  ASSERT_TRUE(reply.ok()) << reply.message();
  EXPECT_EQ(reply.value()["echo"], "prompts");
  int pushed = 0;
  connection.listen(events::eventTapEvent, [&](const json&) { ++pushed; });
  connection.dispatchEvents();
  EXPECT_EQ(pushed, 0) << "a reply is no pushed event";
  const auto seen = server.requests();
  ASSERT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[2]["type"], requests::eventTapVerdict);
}

TEST_F(ConnectionTest, ARefusalCarriesSimdesksText) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    if (request["type"] == requests::hello) return {okReply(request)};
    return {json{{"id", request["id"]}, {"ok", false}, {"error", "no such window"}}.dump()};
  });
  Connection connection(options());
  const auto reply = connection.request(requests::windowOrderOut, {{"window", 3}}, Effect::mayChange);
  ASSERT_FALSE(reply.ok());
  EXPECT_EQ(reply.error().kind, ErrorKind::failed);
  EXPECT_EQ(reply.message(), "no such window");
  EXPECT_EQ(connection.changeCount(), 1u);
}

TEST_F(ConnectionTest, ARefusalIsNeverTakenForAnAbsentSimdeskWhateverItsText) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    if (request["type"] == requests::hello) return {okReply(request)};
    return {json{{"id", request["id"]}, {"ok", false}, {"error", "simdesk is not running"}}.dump()};
  });
  Connection connection(options());
  const auto reply = connection.request(requests::state, json::object(), Effect::readsOnly);
  ASSERT_FALSE(reply.ok());
  EXPECT_EQ(reply.error().kind, ErrorKind::failed);
  EXPECT_EQ(reply.message(), "simdesk is not running");
}

TEST_F(ConnectionTest, ASilentSimdeskTimesOutAndTheNextRequestConnectsAgain) {
  ScriptedServer server(dir_ / "s.sock", [](const json& request) -> std::vector<std::string> {
    if (request["type"] == requests::hello) return {okReply(request)};
    if (request["type"] == requests::state) return {};
    return {okReply(request)};
  });
  Connection connection(options(std::chrono::milliseconds(200)));
  const auto silent = connection.request(requests::state, json::object(), Effect::readsOnly);
  ASSERT_FALSE(silent.ok());
  EXPECT_EQ(silent.error().kind, ErrorKind::failed);
  EXPECT_EQ(silent.message(), "simdesk did not answer in time");
  EXPECT_EQ(connection.eventDescriptor(), -1);
}

TEST_F(ConnectionTest, ReconnectsWithAFreshHelloAfterSimdeskRestarted) {
  const auto answer = [](const json& request) -> std::vector<std::string> {
    return {okReply(request)};
  };
  Connection connection(options());
  {
    ScriptedServer first(dir_ / "s.sock", answer);
    ASSERT_TRUE(connection.request(requests::state, json::object(), Effect::readsOnly).ok());
    EXPECT_EQ(connection.generation(), 1u);
  }
  EXPECT_FALSE(connection.request(requests::state, json::object(), Effect::readsOnly).ok());
  ScriptedServer second(dir_ / "s.sock", answer);
  ASSERT_TRUE(connection.request(requests::state, json::object(), Effect::readsOnly).ok());
  EXPECT_EQ(connection.generation(), 2u);
  const auto seen = second.requests();
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0]["type"], "hello");
}

}  // namespace
}  // namespace deskplay::simdesk::protocol
