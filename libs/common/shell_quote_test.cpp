#include "common/shell_quote.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/child_process.hpp"
#include "support/temp_dir.hpp"

namespace deskplay {
namespace {

TEST(ShellQuoted, WrapsInSingleQuotesAndEscapesOnlyTheQuote) {
  const struct {
    std::string text;
    std::string quoted;
  } cases[] = {
      {"", "''"},
      {"plain", "'plain'"},
      {"it's", "'it'\\''s'"},
      {"''", "''\\'''\\'''"},
      {"$HOME \\ \"x\"", "'$HOME \\ \"x\"'"},
  };
  for (const auto& c : cases) EXPECT_EQ(shellQuoted(c.text), c.quoted) << c.text;
}

// The quoted word must survive a real login shell byte for byte, whatever it holds.
TEST(ShellQuoted, RoundTripsThroughZsh) {
  const testing::TempDir home;
  std::string everyByte;
  for (int c = 1; c < 256; ++c) everyByte.push_back(static_cast<char>(c));
  const std::vector<std::string> texts = {
      "",
      "it's",
      "'",
      "a'b'c''",
      "line one\nline two\n",
      "  spaced  \t tabbed ",
      "$(touch pwned) `touch pwned` ${HOME} $HOME ; | & < > * ? [a] ~ ! # %",
      "\\'\\\"\\\\",
      "réglé 日本 🎮",
      "-ilc",
      everyByte,
  };
  for (const auto& text : texts) {
    const auto result = testing::runProgram({"/bin/zsh", "-fc", "printf '%s' " + shellQuoted(text)},
                                            {}, {"HOME=" + home.path().string()});
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.output, text);
  }
  EXPECT_FALSE(std::filesystem::exists(home / "pwned"));
}

}  // namespace
}  // namespace deskplay
