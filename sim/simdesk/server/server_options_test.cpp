#include "sim/simdesk/server/server_options.hpp"

#include <gtest/gtest.h>

namespace deskplay::simdesk::server {
namespace {

TEST(ServerOptionsTest, ReadsEveryOptionInBothSpellings) {
  auto options = parseServerOptions({"--socket", "/tmp/a.sock", "--screens=1440x900,800x600"});
  ASSERT_TRUE(options.ok()) << options.message();
  EXPECT_EQ(options.value().action, ServerOptions::Action::serve);
  EXPECT_EQ(options.value().socket, std::filesystem::path("/tmp/a.sock"));
  ASSERT_TRUE(options.value().screens);
  EXPECT_EQ(options.value().screens->size(), 2u);

  auto none = parseServerOptions({"--socket=/x", "--screens", "none"});
  ASSERT_TRUE(none.ok());
  ASSERT_TRUE(none.value().screens);
  EXPECT_TRUE(none.value().screens->empty());

  auto defaults = parseServerOptions({});
  ASSERT_TRUE(defaults.ok());
  EXPECT_FALSE(defaults.value().socket);
  EXPECT_FALSE(defaults.value().screens);

  auto help = parseServerOptions({"--help"});
  ASSERT_TRUE(help.ok());
  EXPECT_EQ(help.value().action, ServerOptions::Action::help);
}

TEST(ServerOptionsTest, ReadsTheTapTimeoutInMilliseconds) {
  auto options = parseServerOptions({"--tap-timeout", "150"});
  ASSERT_TRUE(options.ok()) << options.message();
  EXPECT_EQ(options.value().tapTimeout, std::chrono::milliseconds(150));
  EXPECT_FALSE(parseServerOptions({}).value().tapTimeout);
  for (const auto& bad : {"0", "-5", "1.5", "", "soon"}) {
    EXPECT_FALSE(parseServerOptions({std::string("--tap-timeout=") + bad}).ok()) << bad;
  }
  EXPECT_FALSE(parseServerOptions({"--tap-timeout"}).ok());
}

TEST(ServerOptionsTest, ViewOpensTheWindowElseHeadless) {
  EXPECT_EQ(parseServerOptions({}).value().display, ServerOptions::Display::headless);
  auto view = parseServerOptions({"--screens", "800x600", "--view"});
  ASSERT_TRUE(view.ok()) << view.message();
  EXPECT_EQ(view.value().display, ServerOptions::Display::window);
  EXPECT_FALSE(parseServerOptions({"--view=yes"}).ok());
  EXPECT_NE(serverUsage().find("--view"), std::string::npos);
}

TEST(ServerOptionsTest, RefusesBadUseInOneLine) {
  for (const auto& arguments : std::vector<std::vector<std::string>>{
           {"--socket"}, {"--socket="}, {"--screens"}, {"--screens", "big"},
           {"--view-please"}, {"extra"}, {"--screens=0x0"}}) {
    auto options = parseServerOptions(arguments);
    ASSERT_FALSE(options.ok()) << arguments.front();
    EXPECT_EQ(options.message().find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace deskplay::simdesk::server
