#include "core/input/input_socket.hpp"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QJsonObject>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "common/unique_fd.hpp"
#include "support/eventually.hpp"

namespace deskplay::core {
namespace {

using Json = nlohmann::json;
using namespace std::chrono_literals;

constexpr auto kPatience = 10s;

bool eventually(const std::function<bool()>& condition) {
  return deskplay::testing::eventually(condition, kPatience);
}

// A blocking TCP client reading newline-separated lines.
class Client {
 public:
  enum class Family { IPv4, IPv6 };
  enum class ReceiveBuffer { Default, Tiny };

  Client(quint16 port, Family family = Family::IPv4, ReceiveBuffer buffer = ReceiveBuffer::Default)
      : fd_(::socket(family == Family::IPv4 ? AF_INET : AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (buffer == ReceiveBuffer::Tiny) {
      const int bytes = 4096;
      ::setsockopt(fd_.get(), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes);
    }
    if (family == Family::IPv4) {
      sockaddr_in address{};
      address.sin_family = AF_INET;
      address.sin_port = htons(port);
      address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      connected_ = ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    } else {
      sockaddr_in6 address{};
      address.sin6_family = AF_INET6;
      address.sin6_port = htons(port);
      address.sin6_addr = in6addr_loopback;
      connected_ = ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
  }

  bool connected() const { return connected_; }

  // The next line without its line feed; nothing at end of stream or when none arrives in time.
  std::optional<std::string> readLine(std::chrono::milliseconds timeout = kPatience) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (true) {
      if (const std::size_t end = pending_.find('\n'); end != std::string::npos) {
        std::string line = pending_.substr(0, end);
        pending_.erase(0, end + 1);
        return line;
      }
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      if (left.count() <= 0) return std::nullopt;
      pollfd readable{fd_.get(), POLLIN, 0};
      if (::poll(&readable, 1, static_cast<int>(left.count())) <= 0) return std::nullopt;
      char buffer[65536];
      const ssize_t got = ::read(fd_.get(), buffer, sizeof buffer);
      if (got <= 0) return std::nullopt;
      pending_.append(buffer, static_cast<std::size_t>(got));
    }
  }

  // True when the server closed the stream and nothing else is left to read.
  bool closedByServer() {
    pollfd readable{fd_.get(), POLLIN, 0};
    if (::poll(&readable, 1, static_cast<int>(std::chrono::milliseconds(kPatience).count())) <= 0)
      return false;
    char buffer[256];
    return ::read(fd_.get(), buffer, sizeof buffer) <= 0;
  }

  void write(const std::string& bytes) {
    ASSERT_EQ(::write(fd_.get(), bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
  }
  void shutdownWriting() { ::shutdown(fd_.get(), SHUT_WR); }
  void close() { fd_.reset(); }

 private:
  UniqueFd fd_;
  bool connected_ = false;
  std::string pending_;
};

Json parse(const std::string& line) {
  return Json::parse(line, nullptr, false);
}

bool hostHasIPv6Loopback() {
  const UniqueFd probe(::socket(AF_INET6, SOCK_STREAM | SOCK_CLOEXEC, 0));
  sockaddr_in6 address{};
  address.sin6_family = AF_INET6;
  address.sin6_addr = in6addr_loopback;
  return probe.valid() &&
         ::bind(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
}

class InputSocketTest : public ::testing::Test {
 protected:
  void SetUp() override {
    socket_.start();
    ASSERT_TRUE(socket_.hasPort());
  }

  // Connects a client and waits until the worker has accepted it.
  Client& connectClient(Client::ReceiveBuffer buffer = Client::ReceiveBuffer::Default) {
    const int before = socket_.connectionCount();
    clients_.push_back(std::make_unique<Client>(socket_.port(), Client::Family::IPv4, buffer));
    EXPECT_TRUE(clients_.back()->connected());
    EXPECT_TRUE(eventually([&] { return socket_.connectionCount() == before + 1; }));
    return *clients_.back();
  }

  InputSocket socket_;
  std::vector<std::unique_ptr<Client>> clients_;
};

TEST(InputSocketPortTest, HasNoPortUntilStartedThenKeepsOne) {
  InputSocket socket;
  std::vector<quint16> announced;
  QObject::connect(&socket, &InputSocket::portChanged,
                   [&](quint16 port) { announced.push_back(port); });
  EXPECT_EQ(socket.port(), 0);
  EXPECT_FALSE(socket.hasPort());
  socket.send(0, "a");

  socket.start();
  const quint16 port = socket.port();
  EXPECT_NE(port, 0);
  EXPECT_TRUE(socket.hasPort());
  socket.start();
  EXPECT_EQ(socket.port(), port);
  EXPECT_EQ(announced, std::vector<quint16>{port});
  EXPECT_EQ(socket.property("port").toUInt(), port);
}

TEST_F(InputSocketTest, WorkerThreadCarriesTheQueueLabel) {
  const std::string expected = std::string(InputSocket::kQueueLabel).substr(0, 15);
  bool found = false;
  for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
    std::ifstream comm(task.path() / "comm");
    std::string name;
    std::getline(comm, name);
    found = found || name == expected;
  }
  EXPECT_TRUE(found) << expected;
}

TEST_F(InputSocketTest, ListensOnLoopbackOnly) {
  Client ipv4(socket_.port());
  EXPECT_TRUE(ipv4.connected());
  Client ipv6(socket_.port(), Client::Family::IPv6);
  EXPECT_EQ(ipv6.connected(), hostHasIPv6Loopback());

  ifaddrs* interfaces = nullptr;
  ASSERT_EQ(::getifaddrs(&interfaces), 0);
  int outsideAddressesTried = 0;
  for (const ifaddrs* item = interfaces; item != nullptr; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    sockaddr_in address = *reinterpret_cast<const sockaddr_in*>(item->ifa_addr);
    if ((ntohl(address.sin_addr.s_addr) >> 24) == 127) continue;
    address.sin_port = htons(socket_.port());
    const UniqueFd probe(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0));
    EXPECT_NE(::connect(probe.get(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ++outsideAddressesTried;
  }
  ::freeifaddrs(interfaces);
  GTEST_LOG_(INFO) << "non-loopback addresses refused: " << outsideAddressesTried;
}

TEST_F(InputSocketTest, EveryClientReceivesEveryLineOnceInOrder) {
  Client& first = connectClient();
  Client& second = connectClient();
  Client& chatty = connectClient();
  // What a client sends is ignored and does not disturb its stream.
  chatty.write("hello\n{\"type\":\"noise\"}\n");

  for (int keyCode = 0; keyCode < 20; ++keyCode)
    socket_.send(keyCode, QString(QChar('a' + keyCode)));
  for (Client* client : {&first, &second, &chatty}) {
    for (int keyCode = 0; keyCode < 20; ++keyCode) {
      const std::optional<std::string> line = client->readLine();
      ASSERT_TRUE(line);
      const Json message = parse(*line);
      EXPECT_EQ(message, (Json{{"type", "keydown"},
                               {"keyCode", keyCode},
                               {"char", std::string(1, static_cast<char>('a' + keyCode))}}));
    }
    EXPECT_FALSE(client->readLine(50ms));
  }
}

TEST_F(InputSocketTest, AClientConnectingLaterGetsOnlyLaterLines) {
  Client& early = connectClient();
  socket_.send(1, "s");
  ASSERT_TRUE(early.readLine());

  Client& late = connectClient();
  socket_.send(2, "d");
  socket_.sendMuted(true);
  const std::optional<std::string> firstLate = late.readLine();
  ASSERT_TRUE(firstLate);
  EXPECT_EQ(parse(*firstLate)["keyCode"], 2);
  const std::optional<std::string> secondLate = late.readLine();
  ASSERT_TRUE(secondLate);
  EXPECT_EQ(parse(*secondLate)["type"], "set-muted");
  EXPECT_EQ(parse(*early.readLine())["keyCode"], 2);
}

TEST_F(InputSocketTest, MuteMessageIsExactlyTypeAndFlag) {
  Client& client = connectClient();
  socket_.sendMuted(true);
  socket_.sendMuted(false);
  for (const bool muted : {true, false}) {
    const std::optional<std::string> line = client.readLine();
    ASSERT_TRUE(line);
    const Json message = parse(*line);
    EXPECT_EQ(message, (Json{{"type", "set-muted"}, {"muted", muted}})) << *line;
    EXPECT_TRUE(message["muted"].is_boolean());
  }
}

TEST_F(InputSocketTest, KeyLinesCarryAnyCharactersAsOneValidJsonLine) {
  struct Case {
    int keyCode;
    QString characters;
    std::string utf8;
  };
  const std::vector<Case> cases = {
      {0, "a", "a"},
      {36, "\r", "\r"},
      {48, "\t", "\t"},
      {126, "", ""},
      {39, "\"", "\""},
      {42, "\\", "\\"},
      {44, "/", "/"},
      {7, QString(QChar(1)), "\x01"},
      {50, "\n", "\n"},
      {14, QString::fromUtf8("é"), "é"},
      {15, QString::fromUtf8("日"), "日"},
      {16, QString::fromUtf8("🎮"), "🎮"},
      {17, QString::fromUtf8("a\"b\\c\nd"), "a\"b\\c\nd"},
      // What some readers also take for the end of a line.
      {18, QString(QChar(0x2028)), "\xE2\x80\xA8"},
      {19, QString(QChar(0x2029)), "\xE2\x80\xA9"},
      {20, QString(QChar(0x85)), "\xC2\x85"},
      {21, QString::fromUtf8("\v\f\x1C\x1D\x1E"), "\v\f\x1C\x1D\x1E"},
  };
  Client& client = connectClient();
  for (const Case& item : cases) socket_.send(item.keyCode, item.characters);
  for (const Case& item : cases) {
    const std::optional<std::string> line = client.readLine();
    ASSERT_TRUE(line);
    for (const char* lineBreak :
         {"\r", "\v", "\f", "\x1C", "\x1D", "\x1E", "\xC2\x85", "\xE2\x80\xA8", "\xE2\x80\xA9"}) {
      EXPECT_EQ(line->find(lineBreak), std::string::npos) << *line;
    }
    const Json message = parse(*line);
    ASSERT_FALSE(message.is_discarded()) << *line;
    EXPECT_EQ(message.size(), 3U);
    EXPECT_EQ(message["type"], "keydown");
    EXPECT_TRUE(message["keyCode"].is_number_integer()) << *line;
    EXPECT_EQ(message["keyCode"], item.keyCode);
    EXPECT_EQ(message["char"], item.utf8) << *line;
  }
}

TEST_F(InputSocketTest, BroadcastSendsAnyObject) {
  Client& client = connectClient();
  socket_.broadcast(QJsonObject{{"type", "custom"}, {"nested", QJsonObject{{"n", 1.5}}}});
  EXPECT_EQ(parse(*client.readLine()), (Json{{"type", "custom"}, {"nested", {{"n", 1.5}}}}));
}

TEST_F(InputSocketTest, ClosedClientsAreDroppedAndTheRestStillServed) {
  Client& staying = connectClient();
  Client& leaving = connectClient();
  Client& halfClosing = connectClient();
  leaving.close();
  halfClosing.shutdownWriting();
  EXPECT_TRUE(eventually([&] { return socket_.connectionCount() == 1; }));

  socket_.send(3, "f");
  EXPECT_EQ(parse(*staying.readLine())["keyCode"], 3);

  // Many short-lived clients leave nothing behind.
  for (int round = 0; round < 50; ++round) {
    Client passing(socket_.port());
    ASSERT_TRUE(passing.connected());
  }
  EXPECT_TRUE(eventually([&] { return socket_.connectionCount() == 1; }));
}

TEST_F(InputSocketTest, AStuckClientIsDroppedWithoutHoldingBackTheOthers) {
  Client& stuck = connectClient(Client::ReceiveBuffer::Tiny);
  Client& reader = connectClient();
  constexpr int kLines = 400;
  const QString big(64 * 1024, QChar('k'));

  std::atomic<int> received = 0;
  std::thread reading([&] {
    while (received < kLines) {
      const std::optional<std::string> line = reader.readLine();
      if (!line || parse(*line)["keyCode"] != received.load()) return;
      ++received;
    }
  });
  // The reader keeps up while the stuck client takes nothing: far more than the system buffers
  // and the per-client limit together.
  for (int keyCode = 0; keyCode < kLines; ++keyCode) {
    socket_.send(keyCode, big);
    if (!eventually([&] { return received > keyCode; })) break;
  }
  reading.join();

  EXPECT_EQ(received, kLines);
  EXPECT_EQ(socket_.connectionCount(), 1);
  // The dropped client finds its stream ended early.
  int stuckReceived = 0;
  while (stuck.readLine()) ++stuckReceived;
  EXPECT_LT(stuckReceived, kLines);
}

TEST(InputSocketLifetimeTest, ClosingTheSocketClosesItsClients) {
  std::optional<InputSocket> socket(std::in_place);
  socket->start();
  Client client(socket->port());
  ASSERT_TRUE(client.connected());
  ASSERT_TRUE(eventually([&] { return socket->connectionCount() == 1; }));
  socket.reset();
  EXPECT_TRUE(client.closedByServer());
}

}  // namespace
}  // namespace deskplay::core

int main(int argc, char** argv) {
  QCoreApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
