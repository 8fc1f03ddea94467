#include "app/control_protocol.hpp"

#include <gtest/gtest.h>

namespace deskplay::app {
namespace {

TEST(ControlProtocol, RequestsRoundTrip) {
  const ControlCommand commands[] = {
      {ControlCommand::Kind::play, "snake", {"join", "it's \"x\"\nnext"}, {}},
      {ControlCommand::Kind::play, "snake", {}, {}},
      {ControlCommand::Kind::stop, {}, {}, {}},
      {ControlCommand::Kind::restore, {}, {}, {}},
      {ControlCommand::Kind::status, {}, {}, {}},
      {ControlCommand::Kind::recordHotkey, {}, {}, {}},
      {ControlCommand::Kind::openUrl, {}, {}, "deskplay://signin?token=a%20b&x=\"y\""},
      {ControlCommand::Kind::signIn, {}, {}, {}},
      {ControlCommand::Kind::signOut, {}, {}, {}},
      {ControlCommand::Kind::refresh, {}, {}, {}},
  };
  for (const auto& command : commands) {
    const QByteArray line = encodeRequest(command);
    ASSERT_TRUE(line.endsWith('\n'));
    EXPECT_EQ(line.count('\n'), 1);
    const auto decoded = decodeRequest(line.chopped(1));
    ASSERT_TRUE(decoded.ok()) << decoded.message();
    EXPECT_EQ(decoded.value().kind, command.kind);
    EXPECT_EQ(decoded.value().gameId, command.gameId);
    EXPECT_EQ(decoded.value().args, command.args);
    EXPECT_EQ(decoded.value().url, command.url);
  }
}

TEST(ControlProtocol, RejectsMalformedRequests) {
  const char* lines[] = {
      "",
      "not json",
      "[]",
      R"({"command":"quit"})",
      R"({"command":"Play","game":"x"})",
      R"({"command":"play"})",
      R"({"command":"play","game":""})",
      R"({"command":"play","game":7})",
      R"({"command":"play","game":"x","args":"solo"})",
      R"({"command":"play","game":"x","args":[1]})",
      R"({"command":"open-url"})",
      R"({"command":"open-url","url":""})",
      R"({"command":"open-url","url":["deskplay://signin"]})",
  };
  for (const char* line : lines) EXPECT_FALSE(decodeRequest(line).ok()) << line;
}

TEST(ControlEndpoint, LivesInTheRuntimeFolder) {
  QProcessEnvironment environment;
  environment.insert("XDG_RUNTIME_DIR", "/run/user/1000");
  const auto endpoint = controlEndpoint(environment);
  EXPECT_EQ(endpoint.socket, "/run/user/1000/deskplay-control");
  EXPECT_EQ(endpoint.lock, "/run/user/1000/deskplay-control.lock");

  environment.insert("XDG_RUNTIME_DIR", "relative/dir");
  EXPECT_NE(controlEndpoint(environment).socket.parent_path(), "relative/dir");
  EXPECT_TRUE(controlEndpoint(environment).socket.is_absolute());
}

}  // namespace
}  // namespace deskplay::app
