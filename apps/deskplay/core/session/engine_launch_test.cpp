#include "core/session/engine_launch.hpp"

#include <gtest/gtest.h>

namespace deskplay::core {
namespace {

TEST(DevelopmentCommandLine, QuotesCheckoutEntryAndEveryArgument) {
  const struct {
    const char* name;
    DevelopmentLaunch launch;
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {"solo without arguments ends with the entry path",
       {"/src/tilestack", "snake/main.ts"},
       {},
       "cd '/src/tilestack' && exec node --import tsx '/src/tilestack/games/snake/main.ts'"},
      {"checkout with a trailing slash",
       {"/src/tilestack/", "snake/main.ts"},
       {"solo"},
       "cd '/src/tilestack/' && exec node --import tsx '/src/tilestack/games/snake/main.ts' "
       "'solo'"},
      {"quote in the checkout and in an argument",
       {"/home/o'neil/tilestack", "cards/main.ts"},
       {"join", "it's"},
       "cd '/home/o'\\''neil/tilestack' && exec node --import tsx "
       "'/home/o'\\''neil/tilestack/games/cards/main.ts' 'join' 'it'\\''s'"},
      {"an empty argument stays an argument",
       {"/src/t", "a.ts"},
       {""},
       "cd '/src/t' && exec node --import tsx '/src/t/games/a.ts' ''"},
      {"an absolute-looking entry stays under games",
       {"/src/t", "/etc/x.ts"},
       {},
       "cd '/src/t' && exec node --import tsx '/src/t/games//etc/x.ts'"},
  };
  for (const auto& c : cases) EXPECT_EQ(developmentCommandLine(c.launch, c.args), c.line) << c.name;
}

TEST(EngineCommand, DevelopmentRunsTheLoginShellWithoutWorkingDirectory) {
  const auto command = engineCommand(DevelopmentLaunch{"/src/t", "a.ts"}, {"solo"}, "/bin/zsh");
  EXPECT_EQ(command.program, "/bin/zsh");
  ASSERT_EQ(command.arguments.size(), 2u);
  EXPECT_EQ(command.arguments[0], "-ilc");
  EXPECT_EQ(command.arguments[1], developmentCommandLine({"/src/t", "a.ts"}, {"solo"}));
  EXPECT_FALSE(command.workingDirectory);
}

TEST(EngineCommand, PackagedRunsBundledNodeOnTheFolderWithArgumentsUnquoted) {
  const auto command = engineCommand(
      PackagedLaunch{"/app/Contents/Resources", "/app/Contents/Resources/games/snake"},
      {"join", "it's ok"}, "/bin/zsh");
  EXPECT_EQ(command.program, "/app/Contents/Resources/node");
  EXPECT_EQ(command.arguments,
            (std::vector<std::string>{"/app/Contents/Resources/games/snake", "join", "it's ok"}));
  EXPECT_EQ(command.workingDirectory, std::filesystem::path("/app/Contents/Resources"));
}

TEST(GameServerTokenFile, FollowsTheLayout) {
  EXPECT_EQ(gameServerTokenFile(DevelopmentLaunch{"/src/t", "a.ts"}),
            "/src/t/apps/deskplay/.game-server-token");
  EXPECT_EQ(gameServerTokenFile(PackagedLaunch{"/app/Resources", "/games/a"}),
            "/app/Resources/.game-server-token");
}

}  // namespace
}  // namespace deskplay::core
