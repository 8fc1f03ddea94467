#include "app/command_line.hpp"

#include <gtest/gtest.h>

namespace deskplay::app {
namespace {

using Args = std::vector<std::string>;

TEST(ParseCommandLine, RunModesHelpAndCommands) {
  EXPECT_EQ(std::get<RunApplication>(parseCommandLine({})).mode, RunMode::popover);
  EXPECT_EQ(std::get<RunApplication>(parseCommandLine({"--headless"})).mode, RunMode::headless);
  EXPECT_TRUE(std::holds_alternative<ShowHelp>(parseCommandLine({"--help"})));
  EXPECT_TRUE(std::holds_alternative<ShowHelp>(parseCommandLine({"-h"})));

  const auto play = std::get<ControlCommand>(parseCommandLine({"play", "snake", "join", "it's"}));
  EXPECT_EQ(play.kind, ControlCommand::Kind::play);
  EXPECT_EQ(play.gameId, "snake");
  EXPECT_EQ(play.args, (Args{"join", "it's"}));
  // Engine arguments may look like options; they are the game's, not ours.
  EXPECT_EQ(std::get<ControlCommand>(parseCommandLine({"play", "x", "--help"})).args,
            Args{"--help"});

  const struct {
    const char* word;
    ControlCommand::Kind kind;
  } words[] = {{"stop", ControlCommand::Kind::stop},
               {"restore", ControlCommand::Kind::restore},
               {"status", ControlCommand::Kind::status},
               {"record-hotkey", ControlCommand::Kind::recordHotkey},
               {"sign-in", ControlCommand::Kind::signIn},
               {"sign-out", ControlCommand::Kind::signOut},
               {"refresh", ControlCommand::Kind::refresh}};
  for (const auto& w : words) {
    EXPECT_EQ(std::get<ControlCommand>(parseCommandLine({w.word})).kind, w.kind) << w.word;
  }

  const auto url = std::get<ControlCommand>(parseCommandLine({"URL", "deskplay://signin?token=t"}));
  EXPECT_EQ(url.kind, ControlCommand::Kind::openUrl);
  EXPECT_EQ(url.url, "deskplay://signin?token=t");
  EXPECT_TRUE(std::holds_alternative<InstallUrlHandler>(parseCommandLine({"install-url-handler"})));
}

TEST(ParseCommandLine, BadUsageIsOneLine) {
  const Args cases[] = {{"play"},
                        {"play", ""},
                        {"stop", "now"},
                        {"status", "x"},
                        {"--headless", "x"},
                        {"--verbose"},
                        {"launch"},
                        {"restore", "--all"},
                        {"record-hotkey", "Q"},
                        {"URL"},
                        {"URL", ""},
                        {"URL", "a", "b"},
                        {"sign-in", "x"},
                        {"sign-out", "x"},
                        {"refresh", "x"},
                        {"install-url-handler", "x"}};
  for (const auto& args : cases) {
    const auto invocation = parseCommandLine(args);
    ASSERT_TRUE(std::holds_alternative<UsageError>(invocation)) << args[0];
    const std::string& message = std::get<UsageError>(invocation).message;
    EXPECT_TRUE(message.starts_with("Deskplay: ")) << message;
    EXPECT_EQ(message.find('\n'), std::string::npos);
  }
}

}  // namespace
}  // namespace deskplay::app
