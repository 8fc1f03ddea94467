#include "sim/simdesk/server/request_dispatcher.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk::server {
namespace {

using nlohmann::json;

class RequestDispatcherTest : public ::testing::Test {
 protected:
  RequestDispatcherTest() {
    dispatcher_.add("hello", [](Client& client, const RequestFields&) -> Result<json> {
      client.greeted = true;
      return json::object();
    });
    dispatcher_.add("echo", [](Client&, const RequestFields& request) -> Result<json> {
      auto text = request.text("text");
      if (!text.ok()) return text.error();
      return json{{"text", text.value()}};
    });
  }

  json send(std::string_view line) {
    const std::string reply = dispatcher_.handleLine(client_, line);
    EXPECT_TRUE(reply.ends_with("\n"));
    EXPECT_EQ(reply.find('\n'), reply.size() - 1) << "one line per reply";
    return json::parse(reply);
  }

  RequestDispatcher dispatcher_;
  Client client_;
};

TEST_F(RequestDispatcherTest, AnswersWithTheRequestsIdAndTheHandlersFields) {
  send(R"({"id":1,"type":"hello"})");
  EXPECT_EQ(send(R"({"id":7,"type":"echo","text":"hi","extra":[1]})"),
            json::parse(R"({"id":7,"ok":true,"text":"hi"})"));
}

TEST_F(RequestDispatcherTest, RefusesBadLinesWithAnErrorReply) {
  struct Case {
    const char* line;
    json id;
    const char* error;
  };
  const Case cases[] = {
      {"", nullptr, "request is not valid JSON"},
      {"{\"id\":1,", nullptr, "request is not valid JSON"},
      {"[1,2]", nullptr, "request must be a JSON object"},
      {R"({"type":"echo"})", nullptr, "request needs an integer \"id\""},
      {R"({"id":"1","type":"echo"})", nullptr, "request needs an integer \"id\""},
      {R"({"id":2})", 2, "request needs a \"type\""},
      {R"({"id":3,"type":5})", 3, "request needs a \"type\""},
      {R"({"id":4,"type":"fly"})", 4, "unknown request type \"fly\""},
      {R"({"id":5,"type":"echo","text":"x"})", 5, "say hello first"},
  };
  for (const Case& c : cases) {
    const json reply = send(c.line);
    EXPECT_EQ(reply["id"], c.id) << c.line;
    EXPECT_EQ(reply["ok"], false) << c.line;
    EXPECT_EQ(reply["error"], c.error) << c.line;
  }
}

TEST_F(RequestDispatcherTest, AFieldOfTheWrongTypeRejectsTheRequest) {
  send(R"({"id":1,"type":"hello"})");
  for (const char* line : {R"({"id":9,"type":"echo"})", R"({"id":9,"type":"echo","text":1})",
                           R"({"id":9,"type":"echo","text":null})"}) {
    const json reply = send(line);
    EXPECT_EQ(reply["ok"], false) << line;
    EXPECT_EQ(reply["error"], "\"text\" must be a string") << line;
  }
}

TEST_F(RequestDispatcherTest, TextThatIsNoUtf8TravelsReplaced) {
  dispatcher_.add("raw", [](Client&, const RequestFields&) -> Result<json> {
    return json{{"name", std::string("caf\xe9")}};
  });
  send(R"({"id":1,"type":"hello"})");
  const json reply = send(R"({"id":2,"type":"raw"})");
  EXPECT_EQ(reply["ok"], true);
  EXPECT_EQ(reply["name"], "caf\xef\xbf\xbd");
}

}  // namespace
}  // namespace deskplay::simdesk::server
