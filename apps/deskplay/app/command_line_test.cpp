#include "app/command_line.hpp"

#include <gtest/gtest.h>

namespace deskplay::app {
namespace {

using Args = std::vector<std::string>;

TEST(ParseCommandLine, RunModesHelpAndCommands) {
  EXPECT_EQ(std::get<RunApplication>(parseCommandLine({})).mode, RunMode::tray);
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
               {"record-hotkey", ControlCommand::Kind::recordHotkey}};
  for (const auto& w : words) {
    EXPECT_EQ(std::get<ControlCommand>(parseCommandLine({w.word})).kind, w.kind) << w.word;
  }
}

TEST(ParseCommandLine, BadUsageIsOneLine) {
  const Args cases[] = {{"play"},        {"play", ""},        {"stop", "now"},
                        {"status", "x"}, {"--headless", "x"}, {"--verbose"},
                        {"launch"},      {"restore", "--all"},    {"record-hotkey", "Q"}};
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
