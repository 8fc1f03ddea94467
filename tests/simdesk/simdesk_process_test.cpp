#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "common/fd_io.hpp"
#include "common/unique_fd.hpp"
#include "sim/simdesk/protocol/line_buffer.hpp"
#include "sim/simdesk/protocol/messages.hpp"
#include "simdesk_session.hpp"
#include "support/eventually.hpp"

namespace deskplay::testing {
namespace {

using nlohmann::json;
namespace requests = simdesk::protocol::requests;

// A raw client, to send what the adapters never would.
class RawClient {
 public:
  explicit RawClient(const std::filesystem::path& socket) {
    fd_.reset(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strcpy(address.sun_path, socket.c_str());
    connected_ = ::connect(fd_.get(), reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0;
  }
  bool connected() const { return connected_; }
  void send(std::string_view text) { ASSERT_EQ(writeAll(fd_.get(), text), 0); }
  json reply() {
    while (true) {
      if (auto line = lines_.takeLine()) return json::parse(*line);
      char chunk[4096];
      const ssize_t got = ::read(fd_.get(), chunk, sizeof(chunk));
      if (got <= 0) return nullptr;
      lines_.append(std::string_view(chunk, static_cast<std::size_t>(got)));
    }
  }

 private:
  UniqueFd fd_;
  bool connected_ = false;
  simdesk::protocol::LineBuffer lines_;
};

TEST(SimdeskProcessTest, SaysReadyOnceThenEndsCleanlyOnSigtermRemovingItsSocket) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  EXPECT_EQ(session.readyLine(), "SIMDESK_READY " + session.socket().string());
  EXPECT_TRUE(std::filesystem::exists(session.socket()));
  EXPECT_EQ(session.stop(), 0);
  EXPECT_FALSE(std::filesystem::exists(session.socket()));
}

TEST(SimdeskProcessTest, SigintEndsItToo) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  session.process()->kill(SIGINT);
  EXPECT_EQ(session.process()->wait(), 0);
  EXPECT_FALSE(std::filesystem::exists(session.socket()));
}

TEST(SimdeskProcessTest, ASecondSimdeskOnTheSameSocketRefusesAndLeavesTheFirstAlone) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  const Completed second = runProgram({simdeskProgram().string()}, {}, session.environment());
  EXPECT_EQ(second.status, 1);
  EXPECT_EQ(second.output, "");
  EXPECT_EQ(second.errors,
            "simdesk: another simdesk is running on " + session.socket().string() + "\n");
  EXPECT_EQ(session.ctl({"screens"}).status, 0) << "the first one still answers";
}

TEST(SimdeskProcessTest, AStaleSocketLeftByADeadSimdeskIsReplaced) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  session.process()->kill(SIGKILL);
  session.process()->wait();
  ASSERT_TRUE(std::filesystem::exists(session.socket()));
  ASSERT_TRUE(session.start());
  EXPECT_EQ(session.ctl({"screens"}).status, 0);
}

TEST(SimdeskProcessTest, HelpAndBadUsage) {
  const Completed help = runProgram({simdeskProgram().string(), "--help"});
  EXPECT_EQ(help.status, 0);
  EXPECT_TRUE(help.output.starts_with("usage: simdesk ")) << help.output;
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--frobnicate"}, {"--screens", "wide"}, {"--socket"}}) {
    std::vector<std::string> argv = {simdeskProgram().string()};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const Completed bad = runProgram(argv);
    EXPECT_EQ(bad.status, 2) << arguments.front();
    EXPECT_EQ(bad.output, "");
    EXPECT_TRUE(bad.errors.starts_with("simdesk: ")) << bad.errors;
    EXPECT_EQ(std::count(bad.errors.begin(), bad.errors.end(), '\n'), 1) << bad.errors;
  }
}

TEST(SimdeskProcessTest, ListensWhereItIsToldAndTakesItsScreensFromTheCommandLine) {
  SimdeskSession session;
  const std::filesystem::path elsewhere = session.home() / "other.sock";
  // Already on the desktop: Finder lays it out on the screens given, not on the default one.
  writeFile(session.desktop() / "early.txt", "x");
  ASSERT_TRUE(session.start({"--socket", elsewhere.string(), "--screens", "800x600,1024x768"}));
  EXPECT_EQ(session.readyLine(), "SIMDESK_READY " + elsewhere.string());
  RawClient client(elsewhere);
  ASSERT_TRUE(client.connected());
  client.send(R"({"id":1,"type":"hello","app":"Probe","pid":77})"
              "\n"
              R"({"id":2,"type":"screens.get"})"
              "\n");
  EXPECT_EQ(client.reply()["ok"], true);
  const json screens = client.reply();
  ASSERT_EQ(screens["screens"].size(), 2u);
  EXPECT_EQ(screens["screens"][0]["frame"]["width"], 800);
  EXPECT_EQ(screens["screens"][1]["frame"]["height"], 768);

  client.send(R"({"id":3,"type":"state"})"
              "\n");
  const json state = client.reply()["state"];
  ASSERT_EQ(state["finder"]["items"].size(), 1u) << state.dump();
  const json& icon = state["finder"]["items"][0]["iconFrame"];
  EXPECT_GE(icon["x"].get<double>(), 0);
  EXPECT_LE(icon["x"].get<double>() + icon["w"].get<double>(), 800) << icon.dump();
  EXPECT_LE(icon["y"].get<double>() + icon["h"].get<double>(), 600) << icon.dump();
  EXPECT_EQ(state["input"]["pointer"], (json{{"x", 400}, {"y", 300}}));
}

TEST(SimdeskProcessTest, MalformedRequestsGetErrorRepliesAndNeverEndTheServer) {
  SimdeskSession session;
  ASSERT_TRUE(session.start({"--screens", "none"}));
  RawClient client(session.socket());
  ASSERT_TRUE(client.connected());
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"garbage", "request is not valid JSON"},
      {R"({"id":1,"type":"state"})", "say hello first"},
      {R"({"id":2,"type":"hello","app":"","pid":5})", "\"app\" must not be empty"},
      {R"({"id":3,"type":"hello","app":"Probe","pid":"5"})", "\"pid\" must be an integer"},
      {R"({"id":4,"type":"hello","app":"Probe","pid":5})", ""},
      {R"({"id":5,"type":"window.orderFront","window":100})", "no such window"},
      {R"({"id":6,"type":"window.create","kind":"window","contentRect":{"x":0},"styleMask":0})",
       "\"contentRect\" must be a rectangle"},
      {R"({"id":7,"type":"ax.children","element":-3})", "\"element\" must be an element handle"},
      {R"({"id":8,"type":"screens.set","screens":[{"width":0,"height":10}]})",
       "\"screens\" must hold sizes {\"width\", \"height\"}"},
      {R"({"id":9,"type":"screenshot","path":"relative.png"})",
       "\"path\" must be an absolute path"},
      {R"({"id":10,"type":"nonsense"})", "unknown request type \"nonsense\""},
      {R"({"id":11,"type":"privacy.set","service":"camera","app":"X","granted":true})",
       "\"service\" must be accessibility or inputMonitoring"},
  };
  for (const auto& [line, error] : cases) {
    client.send(line + "\n");
    const json reply = client.reply();
    ASSERT_TRUE(reply.is_object()) << line;
    EXPECT_EQ(reply["ok"], error.empty()) << line;
    if (!error.empty()) {
      EXPECT_EQ(reply["error"], error) << line;
    }
  }
  client.send(R"({"id":12,"type":"screens.get"})"
              "\n");
  const json screens = client.reply();
  EXPECT_EQ(screens["ok"], true);
  EXPECT_TRUE(screens["screens"].empty());
  EXPECT_TRUE(screens["main"].is_null());
}

TEST(SimdeskProcessTest, FinderWatchesTheDesktopFolderWhileTheLoopRuns) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  writeFile(session.desktop() / "arrived.txt", "x");
  EXPECT_TRUE(eventually(
      [&] { return session.ctl({"state"}).output.find("arrived.txt") != std::string::npos; }));
}

TEST(SimdeskProcessTest, AClientsWindowsGoWithItsLastConnection) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  auto first = session.connect("Glyphon");
  auto second = session.connect("Glyphon");
  const json rect = {{"x", 10}, {"y", 10}, {"width", 50}, {"height", 50}};
  auto created = first->request(requests::windowCreate,
                                {{"kind", "window"}, {"contentRect", rect}, {"styleMask", 0}},
                                simdesk::protocol::Effect::mayChange);
  ASSERT_TRUE(created.ok()) << created.message();
  const auto number = created.value()["window"];
  ASSERT_TRUE(first
                  ->request(requests::windowOrderFront, {{"window", number}},
                            simdesk::protocol::Effect::mayChange)
                  .ok());
  ASSERT_TRUE(
      second->request(requests::state, json::object(), simdesk::protocol::Effect::readsOnly).ok());
  const auto onScreen = [&] {
    const Completed listed = session.ctl({"windows"});
    return listed.output.find(number.dump() + " Glyphon") != std::string::npos;
  };
  EXPECT_TRUE(onScreen());
  first.reset();
  EXPECT_TRUE(onScreen()) << "the process still holds a connection";
  second.reset();
  // The close reaches simdesk asynchronously; a request after it is ordered behind it.
  EXPECT_TRUE(eventually([&] { return !onScreen(); }));
}

TEST(SimdeskProcessTest, AContentWindowsMalformedRequestsAreRefused) {
  SimdeskSession session;
  ASSERT_TRUE(session.start());
  auto client = session.connect("Glyphon");
  const json rect = {{"x", 10}, {"y", 10}, {"width", 50}, {"height", 50}};
  auto created = client->request(requests::windowCreate,
                                 {{"kind", "content"}, {"contentRect", rect}, {"styleMask", 0}},
                                 simdesk::protocol::Effect::mayChange);
  ASSERT_TRUE(created.ok()) << created.message();
  const json number = created.value()["window"];
  const json badRect = json::array({{{"x", 0}}});
  struct Case {
    std::string_view type;
    json fields;
    std::string error;
  };
  const std::vector<Case> cases = {
      {requests::windowCommit, {{"damage", json::array()}}, "the window has no buffer"},
      {requests::windowCommit, {{"damage", "all"}}, "\"damage\" must be a list of rectangles"},
      {requests::windowCommit, {{"damage", badRect}}, "\"damage\" must be a list of rectangles"},
      {requests::windowAttachBuffer,
       {{"width", 0}, {"height", 10}, {"stride", 40}},
       "\"width\" must be a size in pixels"},
      {requests::windowAttachBuffer,
       {{"width", 10}, {"height", 10}, {"stride", 0}},
       "\"stride\" must be a number of bytes"},
      {requests::windowAttachBuffer,
       {{"width", 10}, {"height", 10}, {"stride", 40}},
       "no buffer came with the request"},
      {requests::windowSetAlpha, {{"alpha", 2}}, "\"alpha\" must be between 0 and 1"},
      {requests::windowSetAccessibility, {{"tree", "none"}}, "\"tree\" must be a list of elements"},
      {requests::windowSetAccessibility,
       {{"tree", badRect}},
       "\"tree\" must be a list of elements"},
  };
  for (const Case& c : cases) {
    json fields = c.fields;
    fields["window"] = number;
    auto reply = client->request(c.type, fields, simdesk::protocol::Effect::mayChange);
    const std::string error = reply.ok() ? std::string("accepted") : reply.message();
    EXPECT_EQ(error, c.error) << c.type << " " << fields.dump();
  }
}

}  // namespace
}  // namespace deskplay::testing
